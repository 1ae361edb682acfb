#include "modmain.h"

#include <QApplication>
#include <QMainWindow>

namespace modMain {

int Main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vaultry"));
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Vaultry (Free Distribution)"));
    window.resize(800, 600);
    window.show();
    return app.exec();
}

} // namespace modMain
