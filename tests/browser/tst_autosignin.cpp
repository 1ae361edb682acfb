// The automatic sign-in in real browser tabs, on login pages served by a local HTTP server: pages written in the
// styles of today's sign-in pages (tests/data/pages), one choice of the profile each.
#include "mainwindowharness.h"
#include "pageserver.h"
#include "sitematch.h"

#include <QCheckBox>
#include <QTcpServer>
#include <QtTest>

namespace {
const QString kUntouched = QStringLiteral("token=t1 user= pass= remember= go=Sign in");
const QString kMail = QStringLiteral("ann@example.com"); // for a field of type email, which takes no other
} // namespace

class tst_AutoSignIn : public QObject
{
    Q_OBJECT
    PageServer m_site;
    MainWindowHarness h;
    QString url(const QString &path) const { return path.startsWith('/') ? m_site.url(path) : path; }
    // The same server under another name: another site, and another origin.
    QString elsewhere(const QString &path) const { return url(path).replace("127.0.0.1", "localhost"); }
    // Opens a profile in the current tab with the switch as given, and waits until the page has loaded.
    bool open(const QString &address, const QString &id, const QString &pw, bool ticked, const QString &reached = {})
    {
        h.child<QCheckBox>("chkAutoSignIn")->setChecked(ticked);
        h.tabs().openProfile(url(address), id, pw);
        return h.loaded(h.tabs().currentTabIndex(), url(reached.isEmpty() ? address : reached));
    }
    // The forms the site received, as "POST /path field=value ..." joined by " | ".
    QString posts() const
    {
        QStringList sent;
        for (const PageServer::Request &post : m_site.posts()) {
            QStringList fields {"POST " + post.path};
            for (const auto &[key, value] : post.form.queryItems(QUrl::FullyDecoded))
                fields << key + '=' + value;
            sent << fields.join(' ');
        }
        return sent.join(" | ");
    }
    void serveSteps(const QString &path, const QString &identified)
    {
        m_site.setPage(path, PageServer::file("identify.html").replace("ACTION", path.toUtf8() + "/next"));
        m_site.setPage("POST " + path + "/next", {}, 0, "Location: " + identified.toUtf8() + "\r\n");
    }

private slots:
    void initTestCase()
    {
        for (const QString name : {"login", "portal", "after", "button", "framed", "spy", "react", "vue", "email",
                                   "tel", "newsletter", "enable", "steps", "built", "enter", "shadow", "oneform"})
            m_site.setPage('/' + name, PageServer::file(name + ".html"));
        m_site.setPage("/", PageServer::file("login.html"));
        for (const QString name :
             {"react/react.production.min.js", "react/react-dom.production.min.js", "vue/vue.global.prod.js"})
            m_site.setPage('/' + name, PageServer::file("../frameworks/" + name));
        m_site.setPage("/old", {}, 0, "Location: /login\r\n");
        for (const QString request : {"GET /retry", "POST /retry"})
            m_site.setPage(request, PageServer::file("login.html").replace("/signin", "/retry"));
        m_site.setPage("/framed-away", PageServer::file("framed.html").replace("/login", elsewhere("/login").toUtf8()));
        // Two pages: the name, then a redirect to the password page; or the answer to the name at the same address,
        // which answers a wrong password with itself again; or a redirect to another site.
        const QByteArray password = PageServer::file("password.html");
        m_site.setPage("/id/password", QByteArray(password).replace("ACTION", "/signin"));
        serveSteps("/id", "/id/password");
        m_site.setPage("/same", PageServer::file("identify.html").replace("ACTION", "/same"));
        for (const QString request : {"POST /same", "POST /same/signin"})
            m_site.setPage(request, QByteArray(password).replace("ACTION", "/same/signin"));
        serveSteps("/away", elsewhere("/id/password"));
        h.open();
    }
    void init()
    {
        m_site.requests.clear();
        h.finished.clear();
    }

    // At exactly the stored address the login form (the form of the visible password field, in the page, a
    // same-origin frame or an open shadow root) gets the login name in its user-name field and the password, its
    // check boxes are ticked, and with the switch ticked its own submit control is pressed; other forms of the page
    // are left alone. A page that shows a user-name field alone is the first of two steps, and the password goes to
    // the next page or to the same document once it shows a password field, on the same site only, once. The login
    // name and password are data: no character of theirs reaches the page as script.
    void fillsThePage_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("reached");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("pw");
        QTest::addColumn<bool>("ticked");
        QTest::addColumn<QString>("expected"); // the forms sent ("POST /path fields | ..."), or the page's inputs
        const auto row = [](const char *name, const QString &stored, bool ticked, const QString &expected,
                            const QString &id = "ann", const QString &pw = "pw1", const QString &reached = {}) {
            QTest::newRow(name) << stored << reached << id << pw << ticked << expected;
        };
        row("ticked: sent", "/login", true, "POST /signin token=t1 user=ann pass=pw1 remember=on");
        row("clear: filled", "/login", false, "token=t1 user=ann pass=pw1 remember=checked go=Sign in");
        row("a search form first", "/portal", true, "POST /signin user=ann pass=pw1");
        row("after the submit field, sent", "/after", true, "POST /signin user=ann pass=pw1 after=");
        row("button type=submit", "/button", true, "POST /signin user=ann pass=pw1 go=1");
        row("email, a box and a button that show the password", "/email", true,
            "POST /session email=ann@example.com password=pw1 keep=1", kMail);
        row("tel, a button without a type", "/tel", true, "POST /logon csrf=c1 customer=ann secret=pw1");
        row("search, newsletter and registration forms", "/newsletter", true,
            "POST /signin user=ann@example.com pass=pw1 remember=on", kMail);
        row("submit enabled after input", "/enable", true, "POST /signin user=ann pass=pw1");
        row("one form for the page, a search button first", "/oneform", true,
            "POST /signin target=login q= user=ann pass=pw1");
        row("page scripts cannot see the fill", "/spy", false,
            "token=t1 user=ann pass=pw1 remember=checked go=Sign in");
        row("same-origin frame", "/framed", true, "POST /signin token=t1 user=ann pass=pw1 remember=on");
        row("frame of another origin", "/framed-away", true, "");
        row("open shadow root", "/shadow", true, "POST /signin user=ann@example.com pass=pw1", kMail);
        const QString port = QString::number(QUrl(url("/")).port());
        row("host in capitals", "http://LOCALHOST:" + port + "/login", true, kUntouched, "ann", "pw1",
            "http://localhost:" + port + "/login");
        row("no trailing slash", "http://127.0.0.1:" + port, true, kUntouched, "ann", "pw1", "/");
        row("escaped letter", "/log%69n", true, kUntouched, "ann", "pw1", "/login");
        row("redirected", "/old", true, kUntouched, "ann", "pw1", "/login");
        const QString owns = "document.body.setAttribute('data-owned','1')";
        row("quotes", "/login", true,
            "POST /signin token=t1 user=a\"]);" + owns + ";// pass='+" + owns + "+' remember=on",
            "a\"]);" + owns + ";//", "'+" + owns + "+'");
        row("backslashes, script end", "/login", false,
            "token=t1 user=d\\u\\</script> pass=\\\"]);" + owns + " remember=checked go=Sign in", "d\\u\\</script>",
            "\\\"]);" + owns);
        row("line breaks, 1252", "/login", false,
            "token=t1 user=Jos\u00e9\u2028 pass=\u20ac5 remember=checked go=Sign in", "\r\nJos\u00e9\u2028",
            "\u20ac\n5");
        row("two steps: a redirect", "/id", true,
            "POST /id/next user=ann@example.com hidden-password= | POST /signin user=ann@example.com pass=pw1 stay=on",
            kMail);
        row("two steps: the same address, a wrong password", "/same", true,
            "POST /same user=ann@example.com hidden-password= | POST /same/signin user=ann@example.com pass=pw1 "
            "stay=on",
            kMail);
        row("two steps: another site", "/away", true, "POST /away/next user=ann@example.com hidden-password=", kMail);
        row("two steps: shown by a plain button", "/steps", true, "POST /signin user=ann pass=pw1");
        row("two steps: built after a lookup", "/built", true,
            "POST /lookup user=ann | POST /signin user=ann pass=pw1");
        row("two steps: Enter alone", "/enter", true, "POST /signin user=ann pass=pw1");
        for (const QString page :
             {"react?form=now", "react?form=300", "react?form=3000", "react?form=never", "react?form=away",
              "vue?form=now", "vue?form=3000", "vue?form=never", "vue?form=away"}) // posts what the framework holds
            row(qPrintable(page), '/' + page, true,
                page.back().isDigit() || page.endsWith("now") ? "POST /signin user=ann pass=pw1 remember=true"
                    : page.endsWith("never")                  ? "POST /signin user=ann pass= remember=false"
                                                              : "user= pass= remember= go=Sign in");
    }
    void fillsThePage()
    {
        QFETCH(QString, stored);
        QFETCH(QString, reached);
        QFETCH(QString, id);
        QFETCH(QString, pw);
        QFETCH(bool, ticked);
        QFETCH(QString, expected);
        QSignalSpy started(&h.tabs(), &AccountTabs::signInStarted);
        QVERIFY(open(stored, id, pw, ticked, reached));
        runUntil([&] { return h.page(0)->title() != "Waiting"; }, 15000); // forms built later
        if (expected.startsWith("POST")) {
            runUntil([&] { return m_site.posts().size() == expected.count(" | ") + 1; }, 10000);
            runUntil([] { return false; }, 600); // a second fill would come by now
            QCOMPARE(posts(), expected);
            return;
        }
        runUntil([] { return false; }, 1500);
        if (!expected.isEmpty())
            QCOMPARE(pageInputs(h.page(0)), expected);
        QVERIFY(!evalInPage(h.page(0), "document.body.hasAttribute('data-owned')").toBool());
        QCOMPARE(posts(), "");
        QCOMPARE(started.count(), reached.isEmpty() ? 1 : 0);
    }

    // With the switch clear both steps are filled and nothing is sent: the user presses Next, then Sign in.
    void twoStepsWithTheSwitchClear()
    {
        QVERIFY(open("/id", kMail, "pw1", false));
        runUntil([&] { return pageInputs(h.page(0)) != "user= hidden="; }, 5000);
        QCOMPARE(pageInputs(h.page(0)), "user=ann@example.com hidden=");
        evalInPage(h.page(0), "next.click()");
        QVERIFY(h.loaded(0, url("/id/password")));
        runUntil([&] { return pageInputs(h.page(0)).contains("pw1"); }, 5000);
        runUntil([] { return false; }, 500);
        QCOMPARE(pageInputs(h.page(0)), "user=ann@example.com pass=pw1 stay=checked");
        QCOMPARE(posts(), "POST /id/next user=ann@example.com hidden-password=");
    }

    // Once per choice: the page that comes back after a wrong password, and later visits, are left alone.
    void signsInOncePerChoice()
    {
        QVERIFY(open("/retry", "ann", "wrong", true));
        QVERIFY(h.loaded(0, url("/retry"))); // the answer to the wrong password
        QCOMPARE(pageInputs(h.page(0)), kUntouched);
        h.tabs().navigate(0, QUrl(url("/retry")));
        QVERIFY(h.loaded(0, url("/retry")));
        QCOMPARE(pageInputs(h.page(0)), kUntouched);
        h.tabs().openProfile(url("/retry"), "ann", "right");
        runUntil([&] { return m_site.posts().size() == 2; }, 10000);
        QCOMPARE(m_site.posts()[1].form.queryItemValue("pass"), "right");
    }

    // An error page at the profile's address must not use up the sign-in: a refresh signs in once the site answers.
    void errorPageKeepsTheSignIn()
    {
        QTcpServer down;
        QVERIFY(down.listen(QHostAddress::LocalHost));
        const QString address = QStringLiteral("http://127.0.0.1:%1/login").arg(down.serverPort());
        down.close(); // nobody listens there now
        QVERIFY(open(address, "ann", "pw1", true));
        QVERIFY(!h.tabs().tab(0).bTabSignInDone);
    }

    // The password's second step must be on the profile's own site: the same registrable domain, or the very same
    // host where there is none; never from https down to http.
    void sameSite_data()
    {
        QTest::addColumn<QString>("home");
        QTest::addColumn<QString>("page");
        QTest::addColumn<bool>("same");
        QTest::newRow("subdomain") << "https://www.example.com/login"
                                   << "https://accounts.example.com/pw" << true;
        QTest::newRow("two-part suffix") << "https://example.co.uk/"
                                         << "https://login.example.co.uk/" << true;
        QTest::newRow("neighbours under a suffix") << "https://a.example.co.uk"
                                                   << "https://b.other.co.uk" << false;
        QTest::newRow("a shared host's users") << "https://ann.github.io/"
                                               << "https://bob.github.io/" << false;
        QTest::newRow("a name inside another") << "https://example.com/"
                                               << "https://example.com.evil.net/" << false;
        QTest::newRow("down to http") << "https://example.com/"
                                      << "http://example.com/" << false;
        QTest::newRow("one address, two ports") << "http://127.0.0.1:1/"
                                                << "http://127.0.0.1:2/" << true;
        QTest::newRow("two names of one machine") << "http://127.0.0.1/"
                                                  << "http://localhost/" << false;
        QTest::newRow("international") << "https://www.b\u00fccher.de/"
                                       << "https://login.xn--bcher-kva.de/" << true;
    }
    void sameSite()
    {
        QFETCH(QString, home);
        QFETCH(QString, page);
        QFETCH(bool, same);
        QCOMPARE(::sameSite(QUrl(home), QUrl(page)), same);
    }
};

QTEST_MAIN(tst_AutoSignIn)
#include "tst_autosignin.moc"
