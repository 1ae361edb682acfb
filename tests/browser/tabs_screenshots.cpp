// Pictures for the README: a login page filled in a tab of the main window, and the window with its
// side bar hidden. Not a test: run it under Xvfb, e.g.  xvfb-run -a build/tests/tabs_screenshots docs
#include "accounttabs.h"
#include "loginpageserver.h"
#include "mainwindowharness.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QWebEngineView>

namespace {

const QByteArray kLogin = R"(<html><head><title>Example Bank - Sign in</title></head>
<body style="font-family:sans-serif;background:#f4f6fa">
<div style="width:280px;margin:40px auto;padding:20px;background:white;border:1px solid #ccd">
<h2 style="color:#2f7e5a">Example Bank</h2>
<form method="post" action="/signin">
<p>User name<br><input type="text" name="user" style="width:100%"></p>
<p>Password<br><input type="password" name="pass" style="width:100%"></p>
<p><input type="checkbox" name="remember"> Remember me</p>
<p><input type="submit" value="Sign in"></p>
</form></div></body></html>)";

bool save(QWidget *w, const QString &path)
{
    const QRect r = w->frameGeometry();
    const bool ok = w->screen()->grabWindow(0, r.x(), r.y(), r.width(), r.height()).save(path);
    qInfo("%s %s", ok ? "wrote" : "could not write", qPrintable(path));
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs");
    QDir().mkpath(out);

    LoginPageServer server;
    server.setPage("/login", kLogin);
    MainWindowHarness h(QCoreApplication::applicationDirPath() + QStringLiteral("/../bin"));
    h.db.AddWebsiteProfile(false, QStringLiteral("Example Bank"), server.url("/login"), QStringLiteral("ann.smith"),
                           QStringLiteral("s3cret"), QString());
    h.db.setINIAutoSignIn(QStringLiteral("0")); // filled but not sent, so the page stays to be seen
    frmMain &window = h.open();
    QTest::qWait(1500);

    // Choose the profile in tab "2", as a user would.
    auto *tbs = window.findChild<QTabBar *>(QStringLiteral("tbs"));
    tbs->setCurrentIndex(1);
    QSignalSpy started(&window.tabs(), &AccountTabs::signInStarted);
    auto *list = window.findChild<QComboBox *>(QStringLiteral("cboWP"));
    list->setCurrentIndex(1);
    emit list->activated(1);
    if (!started.wait(15000))
        qWarning("the sign-in did not start");
    QTest::qWait(1500);
    bool ok = save(&window, out + QStringLiteral("/autofill.png"));

    auto *toggle = window.findChild<QLabel *>(QStringLiteral("imgSideBar"));
    QTest::mouseClick(toggle, Qt::LeftButton, {}, QPoint(1, 1));
    QTest::qWait(1000);
    ok &= save(&window, out + QStringLiteral("/main-sidebar-hidden.png"));
    return ok ? 0 : 1;
}
