// The floor of the main window's start-up: after a bare dialog is accepted, a bare window with five web views
// in five tabs, each showing an empty page.
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QWebEngineView>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);

    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Startup Floor Sign-in"));
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLineEdit(&dialog));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    if (dialog.exec() != QDialog::Accepted)
        return 1;

    QTabWidget window;
    window.setWindowTitle(QStringLiteral("Startup Floor Main"));
    for (int i = 1; i <= 5; ++i) {
        auto *view = new QWebEngineView(&window);
        view->setHtml(QStringLiteral("<html><body></body></html>"));
        window.addTab(view, QString::number(i));
    }
    window.resize(700, 540);
    window.show();
    return app.exec();
}
