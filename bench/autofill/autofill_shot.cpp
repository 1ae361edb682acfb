// Pictures a login page filled in a tab (switch clear, so it stays on screen): autofill_shot <out.png>
// Run under a display: xvfb-run -a build/bench/autofill_shot docs/autofill.png
#include "loginpageserver.h"
#include "tabsharness.h"

#include <QApplication>
#include <QScreen>

#include <cstdio>

namespace {

const QByteArray kLogin = R"(<html><head><title>Example Bank - Sign in</title>
<style>body{font-family:sans-serif;margin:40px} label{display:block;margin-top:12px}</style></head><body>
<h2>Sign in to Example Bank</h2>
<form method="post" action="/signin">
<label>User name <input type="text" name="user"></label>
<label>Password <input type="password" name="pass"></label>
<label><input type="checkbox" name="remember"> Remember me</label>
<p><input type="submit" value="Sign in"></p>
</form></body></html>)";

} // namespace

int main(int argc, char **argv)
{
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: autofill_shot <out.png>\n");
        return 2;
    }
    LoginPageServer server;
    server.setPage("/login", kLogin);
    TabsHarness h;
    h.window.setWindowTitle(QStringLiteral("Vaultry"));
    h.tbs->setCurrentIndex(1);
    QSignalSpy started(h.tabs.get(), &AccountTabs::signInStarted);
    h.tabs->openProfile(server.url("/login"), QStringLiteral("ann.smith"), QStringLiteral("s3cret"));
    if (!started.wait(10000)) {
        std::fprintf(stderr, "the sign-in did not start\n");
        return 1;
    }
    QTest::qWait(1500); // let the page paint its filled fields
    const QPixmap shot = h.window.screen()->grabWindow(h.window.winId());
    return shot.save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
