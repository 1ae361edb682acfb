// The automatic sign-in in real browser tabs, on login pages served by a local HTTP server.
#include "pageserver.h"
#include "tabsharness.h"

#include <QTcpServer>
#include <QtTest>

namespace {
const QString kUntouched = QStringLiteral("token=t1 user= pass= remember= go=Sign in");
} // namespace

class tst_AutoSignIn : public QObject
{
    Q_OBJECT
    PageServer m_site;
    TabsHarness h;
    QString url(const QString &path) const { return path.startsWith('/') ? m_site.url(path) : path; }
    // Opens a profile in the current tab with the switch as given, and waits until the page has loaded.
    bool open(const QString &address, const QString &id, const QString &pw, bool ticked, const QString &reached = {})
    {
        h.open(url(address), id, pw, ticked);
        return h.loaded(h.tabs->currentTabIndex(), url(reached.isEmpty() ? address : reached));
    }

private slots:
    void initTestCase()
    {
        for (const QString name : {"login", "portal", "after", "button", "framed", "spy", "react", "vue"})
            m_site.setPage('/' + name, PageServer::file(name + ".html"));
        m_site.setPage("/", PageServer::file("login.html"));
        for (const QString name :
             {"react/react.production.min.js", "react/react-dom.production.min.js", "vue/vue.global.prod.js"})
            m_site.setPage('/' + name, PageServer::file("../frameworks/" + name));
        m_site.setPage("/old", {}, 0, "Location: /login\r\n");
        for (const QString request : {"GET /retry", "POST /retry"})
            m_site.setPage(request, PageServer::file("login.html").replace("/signin", "/retry"));
    }
    void init()
    {
        m_site.requests.clear();
        h.finished.clear();
    }

    // At exactly the stored address, text fields get the login name, password fields the password, check boxes are
    // ticked, and with the switch ticked the first submit field is clicked; only the top document counts. The login
    // name and password are data: no character of theirs reaches the page as script. A form built after loading
    // (React, Vue) is filled once when its password field comes within 10 s, while the page is still at that address.
    void fillsThePage_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("reached");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("pw");
        QTest::addColumn<bool>("ticked");
        QTest::addColumn<QString>("expected"); // the form sent ("POST /path fields"), or the page's inputs
        const auto row = [](const char *name, const QString &stored, bool ticked, const QString &expected,
                            const QString &id = "ann", const QString &pw = "pw1", const QString &reached = {}) {
            QTest::newRow(name) << stored << reached << id << pw << ticked << expected;
        };
        row("ticked: sent", "/login", true, "POST /signin token=t1 user=ann pass=pw1 remember=on");
        row("clear: filled", "/login", false, "token=t1 user=ann pass=pw1 remember=checked go=Sign in");
        row("search box, untyped, PASSWORD", "/portal", false, "q=ann user=ann pass=pw1 go=Sign in");
        row("after the submit field, sent", "/after", true, "POST /signin user=ann pass=pw1 after=");
        row("after the submit field, clear", "/after", false,
            "user=ann pass=pw1 mode= go=Sign in after=ann other=Other");
        row("a button is no submit field", "/button", true, "user=ann pass=pw1 img=");
        row("page scripts cannot see the fill", "/spy", false,
            "token=t1 user=ann pass=pw1 remember=checked go=Sign in");
        row("form in a frame", "/framed", true,
            "frame:token=t1 frame:user= frame:pass= frame:remember= frame:go=Sign in");
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
        for (const QString page :
             {"react?form=now", "react?form=300", "react?form=3000", "react?form=never", "react?form=late",
              "react?form=away", "vue?form=now", "vue?form=300", "vue?form=3000", "vue?form=never",
              "vue?form=away"}) // posts what the framework holds
            row(qPrintable(page), '/' + page, true,
                page.back().isDigit() || page.endsWith("now") ? "POST /signin user=ann pass=pw1 remember=true"
                    : page.endsWith("never")                  ? "user= go=Sign in"
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
        QSignalSpy started(h.tabs.get(), &AccountTabs::signInStarted);
        QVERIFY(open(stored, id, pw, ticked, reached));
        (void)QTest::qWaitFor([&] { return h.page(0)->title() != "Waiting"; }, 15000); // forms built later
        QTest::qWait(500);
        if (expected.startsWith("POST")) {
            QCOMPARE(m_site.posts().size(), 1);
            QStringList fields {"POST " + m_site.posts()[0].path};
            for (const auto &[key, value] : m_site.posts()[0].form.queryItems(QUrl::FullyDecoded))
                fields << key + '=' + value;
            QCOMPARE(fields.join(' '), expected);
            return;
        }
        QCOMPARE(TabsHarness::inputs(h.page(0)), expected);
        QVERIFY(!evalInPage(h.page(0), "document.body.hasAttribute('data-owned')").toBool());
        QCOMPARE(m_site.posts().size(), 0);
        QCOMPARE(started.count(), reached.isEmpty() ? 1 : 0);
    }

    // Once per choice: the page that comes back after a wrong password, and later visits, are left alone.
    void signsInOncePerChoice()
    {
        QVERIFY(open("/retry", "ann", "wrong", true));
        QVERIFY(h.loaded(0, url("/retry"))); // the answer to the wrong password
        QCOMPARE(TabsHarness::inputs(h.page(0)), kUntouched);
        h.tabs->navigate(0, QUrl(url("/retry")));
        QVERIFY(h.loaded(0, url("/retry")));
        QCOMPARE(TabsHarness::inputs(h.page(0)), kUntouched);
        h.tabs->openProfile(url("/retry"), "ann", "right");
        QTRY_COMPARE_WITH_TIMEOUT(m_site.posts().size(), 2, 10000);
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
        QVERIFY(!h.tabs->tab(0).bTabSignInDone);
    }
};

QTEST_MAIN(tst_AutoSignIn)
#include "tst_autosignin.moc"
