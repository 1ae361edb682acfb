// The floor of the sign-in dialog's start-up: a Qt program that shows one bare window and nothing else.
#include <QApplication>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Startup Floor Window"));
    window.resize(420, 260);
    window.show();
    return app.exec();
}
