#include "mainwindowloader.h"

#include <QMainWindow>

namespace modMain {

std::unique_ptr<QWidget> LoadMainWindow(const QString &, MessageService &)
{
    auto window = std::make_unique<QMainWindow>();
    window->setWindowTitle(QStringLiteral("Vaultry (Free Distribution)"));
    window->resize(800, 600);
    return window;
}

} // namespace modMain
