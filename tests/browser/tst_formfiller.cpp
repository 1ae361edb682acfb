// Automatic sign-in into real pages served by a local HTTP server, in real browsers.
#include "loginpageserver.h"
#include "mainwindowharness.h"
#include "tabsharness.h"

#include <QComboBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTcpServer>

namespace {

const QByteArray kLogin = R"(<html><head><title>Sign in</title></head><body>
<form id="login" method="post" action="/signin">
<input type="hidden" name="token" id="token" value="t1">
<input type="text" name="user" id="user">
<input type="password" name="pass" id="pass">
<input type="checkbox" name="remember" id="remember">
<input type="submit" id="go" value="Sign in">
</form></body></html>)";

// A page with a sign-in form holding the given inputs, after what comes before it.
QByteArray signInPage(const QByteArray &inputs, const char *before = "")
{
    return QByteArray("<html><head><title>Sign in</title></head><body>") + before +
        "<form method=\"post\" action=\"/signin\">" + inputs + "</form></body></html>";
}

const char kUserPass[] = R"(<input type="text" name="user" id="user"><input type="password" name="pass" id="pass">)";

// Every input of the top-level document and of its frames, as "id=value" ("id=checked" for a ticked box).
const char kSnapshot[] = R"JS((function () {
    function list(doc, prefix) {
        return Array.from(doc.getElementsByTagName('input'), e => prefix + e.id + '=' +
            (e.type === 'checkbox' || e.type === 'radio' ? (e.checked ? 'checked' : '') : e.value));
    }
    return JSON.stringify(Array.from(document.getElementsByTagName('iframe'), f => list(f.contentDocument, 'frame:'))
        .reduce((all, inputs) => all.concat(inputs), list(document, '')));
})())JS";

QStringList snapshot(QWebEnginePage *page)
{
    QStringList result;
    for (const QJsonValue &v : QJsonDocument::fromJson(TabsHarness::eval(page, kSnapshot).toString().toUtf8()).array())
        result.append(v.toString());
    return result;
}

using FieldList = QList<QPair<QString, QString>>;

// The login form as it is served, untouched.
const QStringList kUntouched {"token=t1", "user=", "pass=", "remember=", "go=Sign in"};
const QStringList kFilled {"token=t1", "user=ann", "pass=pw1", "remember=checked", "go=Sign in"};

} // namespace

class TestFormFiller : public QObject
{
    Q_OBJECT
    LoginPageServer m_server;

private slots:
    void initTestCase()
    {
        QVERIFY(m_server.isListening());
        m_server.setPage("/login", kLogin);
        m_server.setPage("/", kLogin);
        m_server.setPage(
            "/portal",
            signInPage(R"(<input name="user" id="user"><input type="PASSWORD" name="pass" id="pass">
<input type="submit" id="go" value="Sign in">)",
                       R"(<form method="get" action="/search"><input type="text" name="q" id="q"></form>)"));
        m_server.setPage("/after",
                         signInPage(kUserPass + QByteArray(R"(<input type="radio" name="mode" id="mode" value="m">
<input type="submit" id="go" value="Sign in"><input type="text" name="after" id="after">)")));
        m_server.setPage("/button", signInPage(kUserPass + QByteArray(R"(<input type="image" id="img" alt="go">
<button type="submit" id="go">Sign in</button>)")));
        m_server.setPage("/framed", "<html><body><iframe id=\"frame\" src=\"/inner\"></iframe></body></html>");
        m_server.setPage("/inner", kLogin);
        m_server.setRedirect("/old", "/login");
        m_server.setPage("/slow", kLogin, 2000);
        m_server.setPostAnswer("/retry", kLogin);
    }
    void init() { m_server.posts.clear(); }

    void fillsThePage_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("profileUrlPath");
        QTest::addColumn<bool>("autoSignIn");
        QTest::addColumn<bool>("signInStarts");
        QTest::addColumn<FieldList>("posted"); // one POST with these fields, or none when empty
        QTest::addColumn<QStringList>("inputs"); // the page's inputs afterwards (only read when nothing is sent)

        auto row = [](const char *name, const char *path, const char *profilePath, bool ticked, bool starts,
                      const FieldList &posted, const QStringList &inputs = {}) {
            QTest::newRow(name) << path << profilePath << ticked << starts << posted << inputs;
        };
        QStringList framed;
        for (const QString &input : kUntouched)
            framed << QStringLiteral("frame:") + input;
        row("login form, switch ticked: sent", "/login", "/login", true, true,
            {{"token", "t1"}, {"user", "ann"}, {"pass", "pw1"}, {"remember", "on"}});
        row("login form, switch clear: filled, not sent", "/login", "/login", false, true, {}, kFilled);
        row("search box before the form, switch clear", "/portal", "/portal", false, true, {},
            {"q=ann", "user=ann", "pass=pw1", "go=Sign in"});
        row("search box before the form, switch ticked", "/portal", "/portal", true, true,
            {{"user", "ann"}, {"pass", "pw1"}});
        row("text field after the submit field, switch ticked: left empty", "/after", "/after", true, true,
            {{"user", "ann"}, {"pass", "pw1"}, {"after", ""}});
        row("text field after the submit field, switch clear: filled", "/after", "/after", false, true, {},
            {"user=ann", "pass=pw1", "mode=", "go=Sign in", "after=ann"});
        row("only a button element submits: filled, never sent", "/button", "/button", true, true, {},
            {"user=ann", "pass=pw1", "img="});
        row("form inside a frame: not filled", "/framed", "/framed", true, true, {}, framed);
        row("profile address is the frame's: not filled", "/framed", "/inner", true, false, {}, framed);
    }

    void fillsThePage()
    {
        QFETCH(QString, path);
        QFETCH(QString, profileUrlPath);
        QFETCH(bool, autoSignIn);
        QFETCH(bool, signInStarts);
        QFETCH(FieldList, posted);
        QFETCH(QStringList, inputs);

        TabsHarness h;
        h.chkAutoSignIn->setChecked(autoSignIn);
        QSignalSpy started(h.tabs.get(), &AccountTabs::signInStarted);
        QSignalSpy sent(&m_server, &LoginPageServer::postReceived);
        // The frame case loads /framed while the profile may name the frame's own address.
        if (path == profileUrlPath) {
            QVERIFY(h.openAndWait(m_server.url(path), "ann", "pw1"));
        } else {
            h.tabs->openProfile(m_server.url(profileUrlPath), "ann", "pw1");
            QVERIFY(h.navigateAndWait(0, m_server.url(path)));
        }
        QCOMPARE(started.count(), signInStarts ? 1 : 0);
        if (!posted.isEmpty()) {
            QVERIFY(sent.wait(10000));
            QCOMPARE(m_server.posts.size(), 1);
            QCOMPARE(m_server.posts[0].path, QStringLiteral("/signin"));
            QCOMPARE(m_server.posts[0].fields(), posted);
            return;
        }
        QCOMPARE(snapshot(h.page(0)), inputs);
        QVERIFY(!sent.wait(500));
        QVERIFY(m_server.posts.isEmpty());
    }

    void notFilledAgainUntilReopened()
    {
        // The login form posts to an address that answers with the login page again (a wrong password).
        QByteArray retry = kLogin;
        retry.replace("action=\"/signin\"", "action=\"/retry\"");
        m_server.setPage("/retry", retry);
        m_server.setPostAnswer("/retry", retry);

        TabsHarness h;
        h.chkAutoSignIn->setChecked(true);
        QSignalSpy started(h.tabs.get(), &AccountTabs::signInStarted);
        QSignalSpy sent(&m_server, &LoginPageServer::postReceived);
        QSignalSpy finished(h.page(0), &QWebEnginePage::loadFinished);
        h.tabs->openProfile(m_server.url("/retry"), "ann", "wrong");
        QVERIFY(sent.wait(10000));
        // The answer (the same page at the same address) finishes loading but is left alone.
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 2, 10000);
        QCOMPARE(h.page(0)->url().toString(), m_server.url("/retry"));
        QCOMPARE(snapshot(h.page(0)), kUntouched);
        QVERIFY(!sent.wait(500));
        QCOMPARE(started.count(), 1);
        QCOMPARE(m_server.posts.size(), 1);
        // A later visit to the same address in that tab is not filled either; choosing the profile
        // again signs in once more.
        QVERIFY(h.navigateAndWait(0, m_server.url("/retry")));
        QCOMPARE(snapshot(h.page(0)), kUntouched);
        QVERIFY(!sent.wait(300));
        h.tabs->openProfile(m_server.url("/retry"), "ann", "right");
        QVERIFY(sent.wait(10000));
        QCOMPARE(m_server.posts.size(), 2);
        QCOMPARE(m_server.posts[1].field("pass"), QStringLiteral("right"));
        QCOMPARE(started.count(), 2);
    }

    void unreachablePageKeepsTheSignIn()
    {
        // A port that nobody listens on: the browser shows its error page under the profile's own address.
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        const quint16 port = probe.serverPort();
        probe.close();
        const QString url = QStringLiteral("http://127.0.0.1:%1/login").arg(port);

        TabsHarness h;
        h.chkAutoSignIn->setChecked(true);
        QSignalSpy started(h.tabs.get(), &AccountTabs::signInStarted);
        QSignalSpy finished(h.page(0), &QWebEnginePage::loadFinished);
        h.tabs->openProfile(url, "ann", "pw1");
        QVERIFY(finished.wait(10000));
        QCOMPARE(finished.first().first().toBool(), false);
        QCOMPARE(started.count(), 0);
        // Still armed: once the site answers, a refresh of the tab signs in.
        QVERIFY(!h.tabs->tab(0).bTabSignInDone);
    }

    void credentialsStayData_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("password");

        // Each tries to break out of the data and mark the page.
        const QString mark = QStringLiteral("document.body.setAttribute('data-owned','1')");
        QTest::newRow("double quotes") << QStringLiteral("a\"]);%1;//").arg(mark)
                                       << QStringLiteral("\"+%1+\"").arg(mark);
        QTest::newRow("single quotes") << QStringLiteral("a');%1;('").arg(mark) << QStringLiteral("'+%1+'").arg(mark);
        QTest::newRow("backslashes") << QStringLiteral("dom\\user\\") << QStringLiteral("\\\"]);%1;//").arg(mark);
        QTest::newRow("script end tag") << QStringLiteral("</script><script>%1</script>").arg(mark)
                                        << QStringLiteral("<!--</script>-->");
        QTest::newRow("line breaks") << QStringLiteral("line1\r\nline2\n")
                                     << QStringLiteral("\n%1;\u2028x\u2029").arg(mark);
        QTest::newRow("code page 1252 letters")
            << QStringLiteral("Jos\u00e9 Stra\u00dfe") << QStringLiteral("\u20ac5\u00e9\u00df");
        QTest::newRow("empty") << QString() << QString();
    }

    void credentialsStayData()
    {
        QFETCH(QString, id);
        QFETCH(QString, password);

        TabsHarness h;
        // First with the switch clear: the attributes hold the texts exactly (line breaks too).
        QVERIFY(h.openAndWait(m_server.url("/login"), id, password));
        const QString attributes =
            TabsHarness::eval(
                h.page(0),
                "JSON.stringify([document.getElementById('user').getAttribute('value'),"
                " document.getElementById('pass').getAttribute('value'), document.body.hasAttribute('data-owned')])")
                .toString();
        QCOMPARE(attributes,
                 QString::fromUtf8(QJsonDocument(QJsonArray {id, password, false}).toJson(QJsonDocument::Compact)));

        // Then ticked: the form arrives at the server as the page's fields hold it (single-line fields drop line
        // breaks).
        h.chkAutoSignIn->setChecked(true);
        QSignalSpy sent(&m_server, &LoginPageServer::postReceived);
        h.tabs->openProfile(m_server.url("/login"), id, password);
        QVERIFY(sent.wait(10000));
        auto singleLine = [](QString s) {
            return s.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
        };
        QCOMPARE(m_server.posts.size(), 1);
        QCOMPARE(m_server.posts[0].field("user"), singleLine(id));
        QCOMPARE(m_server.posts[0].field("pass"), singleLine(password));
    }

    void addressMustMatchExactly_data()
    {
        QTest::addColumn<QString>("profileUrl");
        QTest::addColumn<QString>("reportedPath");

        const QString port = QString::number(QUrl(m_server.base()).port());
        QTest::newRow("host in capitals") << QStringLiteral("http://LOCALHOST:%1/login").arg(port) << "/login";
        QTest::newRow("scheme in capitals") << QStringLiteral("HTTP://127.0.0.1:%1/login").arg(port) << "/login";
        QTest::newRow("no trailing slash") << QStringLiteral("http://127.0.0.1:%1").arg(port) << "/";
        QTest::newRow("escaped letter") << QStringLiteral("http://127.0.0.1:%1/log%69n").arg(port) << "/login";
        QTest::newRow("redirected") << QStringLiteral("http://127.0.0.1:%1/old").arg(port) << "/login";
    }

    void addressMustMatchExactly()
    {
        QFETCH(QString, profileUrl);
        QFETCH(QString, reportedPath);

        TabsHarness h;
        h.chkAutoSignIn->setChecked(true);
        QSignalSpy started(h.tabs.get(), &AccountTabs::signInStarted);
        QVERIFY(h.openAndWait(profileUrl, "ann", "pw1"));
        QVERIFY(h.page(0)->url().toString() != profileUrl);
        QCOMPARE(h.page(0)->url().path(), reportedPath);
        QCOMPARE(snapshot(h.page(0)), kUntouched);
        QCOMPARE(started.count(), 0);
        QVERIFY(m_server.posts.isEmpty());
    }

    void profileOpenedWhileAPageLoads()
    {
        // The load that the profile cuts short must not use up the sign-in meant for the profile's page.
        TabsHarness h;
        QSignalSpy started(h.page(0), &QWebEnginePage::loadStarted);
        h.tabs->navigate(0, QUrl(m_server.url("/slow")));
        QVERIFY(started.wait(10000));
        QTest::qWait(100);
        QSignalSpy finished(h.page(0), &QWebEnginePage::loadFinished);
        h.tabs->openProfile(m_server.url("/login"), "ann", "pw1");
        QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty() && finished.last().first().toBool(), 10000);
        QTRY_COMPARE(snapshot(h.page(0)), kFilled);
    }

    void profileChosenInTheWindowSignsIn()
    {
        // The whole way: a stored profile chosen in the main window's list, the switch ticked from vy.ini.
        MainWindowHarness h;
        QVERIFY(h.db.AddWebsiteProfile(false, QStringLiteral("Shop"), m_server.url("/login"), QStringLiteral("ann"),
                                       QStringLiteral("pw \u20ac1"), QString()));
        h.db.setINIAutoSignIn(QStringLiteral("1"));
        frmMain &window = h.open();
        QSignalSpy sent(&m_server, &LoginPageServer::postReceived);
        auto *list = window.findChild<QComboBox *>(QStringLiteral("cboWP"));
        list->setCurrentIndex(1);
        emit list->activated(1);
        QVERIFY(sent.wait(15000));
        QCOMPARE(m_server.posts.size(), 1);
        QCOMPARE(m_server.posts[0].field("user"), QStringLiteral("ann"));
        QCOMPARE(m_server.posts[0].field("pass"), QStringLiteral("pw \u20ac1"));
    }
};

QTEST_MAIN(TestFormFiller)
#include "tst_formfiller.moc"
