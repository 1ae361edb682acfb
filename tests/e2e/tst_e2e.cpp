// The whole program as a user meets it: a real window on the X display, keys and clicks from xdotool, a fresh
// program folder, and a local website whose login form the program fills in and submits. The steps build on
// each other; a screenshot of each lands in build/e2e-artifacts.
#include "desktop.h"
#include "pageserver.h"
#include "programfolder.h"

#include <QtTest>

#include <linux/capability.h>
#include <sys/ptrace.h>
#include <sys/syscall.h>
#include <sys/wait.h>

namespace {
const QString kUser = QStringLiteral("e2euser"), kMaster = QStringLiteral("tempo42x");
const QString kLoginName = QStringLiteral("e2e.member@example.org"), kSitePassword = QStringLiteral("Site-Pass 9!");
} // namespace

class tst_EndToEnd : public QObject
{
    Q_OBJECT
    Desktop m_desktop;
    ProgramFolder m_folder;
    PageServer m_site;
    std::unique_ptr<Launched> m_program;
    QString m_main;
    bool m_failed = false;
    QList<quint16> m_ports; // free when the test starts
    QDir m_shots {qEnvironmentVariable("VAULTRY_E2E_ARTIFACTS", "e2e-artifacts")};

    void shot(const QString &step)
    {
        m_desktop.screenshot(m_shots.filePath(QTest::currentTestFunction() + ("-" + step) + ".png"));
    }
    // The message of a failed check, with the program's own output (a screenshot follows in cleanup).
    QByteArray why(const QString &what)
    {
        return (what + "\n--- program output ---\n" + (m_program ? m_program->output() : QString())).toLocal8Bit();
    }
    qint64 start(const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment(),
                 const QStringList &args = {})
    {
        m_program = std::make_unique<Launched>(m_folder.path("vaultry"), env, args);
        return m_program->pid;
    }
    // No other process of the user may attach to the program and read its memory (here: root without its powers),
    // and a crash writes no core file.
    static bool closedToOthers(qint64 pid)
    {
        const pid_t tracer = ::fork();
        if (tracer == 0) {
            __user_cap_header_struct header {_LINUX_CAPABILITY_VERSION_3, 0};
            __user_cap_data_struct caps[2] {};
            ::syscall(SYS_capget, &header, caps);
            caps[0].effective = caps[1].effective = 0;
            ::_exit(::syscall(SYS_capset, &header, caps) || ::ptrace(PTRACE_SEIZE, pid_t(pid), 0, 0));
        }
        int refused = 0;
        QFile limits(QString("/proc/%1/limits").arg(pid));
        return ::waitpid(tracer, &refused, 0) == tracer && refused && limits.open(QIODevice::ReadOnly) &&
            QRegularExpression(R"(Max core file size +0 +0 )").match(limits.readAll()).hasMatch();
    }
    // Nothing answers on the ports of the program's remote-debugging requests.
    bool debuggingClosed() const
    {
        QTcpSocket debugger;
        for (const quint16 port : m_ports)
            if (debugger.connectToHost(QHostAddress::LocalHost, port); !port || debugger.waitForConnected(1000))
                return false;
        return true;
    }
    bool signedIn(int posts)
    {
        if (!QTest::qWaitFor([&] { return m_site.posts().size() >= posts; }, 45000))
            return false;
        const QUrlQuery &form = m_site.posts().last().form;
        return form.queryItemValue("user", QUrl::FullyDecoded) == kLoginName &&
            form.queryItemValue("pass", QUrl::FullyDecoded) == kSitePassword;
    }

private slots:
    void initTestCase()
    {
        if (!m_desktop.x)
            QSKIP("no X display; run under xvfb-run, as scripts/test does");
        QVERIFY2(QFile::exists(m_folder.path("libTymcore.so")), "the engine is not built: no login could pass");
        m_site.setPage("/login", PageServer::file("login.html"));
        for (QTcpServer free; m_ports.size() < 3; free.close())
            m_ports << (free.listen(QHostAddress::LocalHost) ? free.serverPort() : 0);
        QVERIFY(m_folder.write("vy.ini", "[Vaultry]\nSealWallet=true\n")); // the wallet sealed from the first sign-in
        m_shots.removeRecursively();
        QVERIFY(m_shots.mkpath("."));
    }
    void init()
    {
        if (m_failed)
            QSKIP("an earlier step failed");
    }
    void cleanup()
    {
        if (QTest::currentTestFailed())
            shot("failed");
        m_failed = m_failed || QTest::currentTestFailed();
    }

    // The first start asks for a remote-debugging port through the environment and the engine's flags, the second
    // through the arguments (the engine takes them only when its flags variable is not set): no port opens.
    void firstStartEnrols()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QTWEBENGINE_REMOTE_DEBUGGING", QString::number(m_ports[0]));
        env.insert("QTWEBENGINE_CHROMIUM_FLAGS",
                   env.value("QTWEBENGINE_CHROMIUM_FLAGS") + " --remote-debugging-port=" + QString::number(m_ports[1]));
        const QString error = m_desktop.enrol(start(env), kUser, kMaster);
        QVERIFY2(error.isEmpty(), why(error));
        m_main = m_desktop.waitFor(Titles::kMain, m_program->pid);
        QVERIFY2(!m_main.isEmpty(), why("no main window after the enrolment"));
        QThread::msleep(1500); // the start pages paint
        shot("enrolled");
        QVERIFY2(debuggingClosed(), why("a remote-debugging port is open"));
    }

    void newProfileSignsIn()
    {
        // From the find box past the list to the switch, tick it, then a new profile.
        QVERIFY(m_desktop.focus(m_main) && m_desktop.keys({"ctrl+f", "Tab", "Tab", "space", "ctrl+n"}));
        const QString editor = m_desktop.waitFor(Titles::kEditor, m_program->pid);
        QVERIFY2(!editor.isEmpty() && m_desktop.focus(editor), why("the profile dialog did not open"));
        for (const QString &text : {QStringLiteral("Members Club"), m_site.url("/login"), kLoginName})
            QVERIFY(m_desktop.type(text) && m_desktop.keys({"Tab"}));
        QVERIFY(m_desktop.type(kSitePassword) && m_desktop.keys({"Return"}));
        const QString updated = m_desktop.waitFor(Titles::kMessage, m_program->pid);
        QVERIFY2(!updated.isEmpty() && m_desktop.focus(updated) && m_desktop.keys({"Return"}),
                 why("no message after Confirm"));
        QVERIFY2(signedIn(1), why("the login page was not signed in"));
        shot("signed-in");
        // Open to its own helpers for the few seconds in which the web engine starts them, then closed again.
        QVERIFY2(QTest::qWaitFor([&] { return closedToOthers(m_program->pid); }, 8000),
                 why("the program's memory is open to others"));
    }

    void restartLogsInByRhythm()
    {
        QVERIFY2(m_desktop.close(m_main, m_program->pid) && m_program->ended(30000),
                 why("the main window did not close"));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("QTWEBENGINE_CHROMIUM_FLAGS");
        const QString login = m_desktop.waitFor(
            Titles::kLogin,
            start(env, {"--webEngineArgs", "--disable-gpu", "--remote-debugging-port=" + QString::number(m_ports[2])}));
        QVERIFY2(!login.isEmpty(), why("no login dialog at the second start"));
        QString error = m_desktop.logIn(login, kUser, kMaster);
        if (error.isEmpty() && m_desktop.keys({"Return"}))
            error = m_desktop.awaitClosed(Titles::kLogin, m_program->pid);
        QVERIFY2(error.isEmpty(), why(error));
        m_main = m_desktop.waitFor(Titles::kMain, m_program->pid);
        QVERIFY2(!m_main.isEmpty(), why("no main window after the login"));
        QVERIFY2(m_folder.read("vy.bdb").startsWith("VYSEALED"), why("the wallet is not sealed"));
        QThread::msleep(1500); // the start pages paint
        // The stored profile is listed; choosing it signs in with the switch kept in vy.ini.
        QVERIFY(m_desktop.focus(m_main) && m_desktop.keys({"ctrl+f", "Tab", "Down"}));
        QVERIFY2(signedIn(2), why("choosing the listed profile did not sign in"));
        QVERIFY2(debuggingClosed(), why("a remote-debugging port is open"));
        shot("logged-in");
    }

    void secondCopyIsRefused()
    {
        const QStringList before = m_folder.snapshot();
        QTemporaryDir session; // started from another session, with a runtime folder of its own
        QProcessEnvironment other = QProcessEnvironment::systemEnvironment();
        other.insert("XDG_RUNTIME_DIR", session.path());
        Launched second(m_folder.path("vaultry"), other);
        const QString box = m_desktop.waitFor(Titles::kMessage, second.pid);
        QVERIFY2(!box.isEmpty(), qPrintable(second.output()));
        QVERIFY(m_desktop.windows("Tympra", second.pid).isEmpty()); // no sign-in dialog
        shot("second-copy");
        QVERIFY(m_desktop.focus(box) && m_desktop.keys({"Return"}) && second.ended(20000));
        QCOMPARE(m_folder.snapshot(), before);
        QVERIFY(!m_desktop.windows(Titles::kMain, m_program->pid).isEmpty());
    }

    // A copy that is killed holds the folder no longer; the next start clears what a save cut short left behind.
    void killedCopyFreesTheFolder()
    {
        ::kill(-pid_t(m_program->pid), SIGKILL);
        QVERIFY(m_program->ended(20000) && m_folder.write("vy.bdb.AbCdEf", "leftover"));
        m_main.clear();
        QVERIFY2(!m_desktop.waitFor(Titles::kLogin, start()).isEmpty(), why("the killed copy still holds the folder"));
        QVERIFY(!QFile::exists(m_folder.path("vy.bdb.AbCdEf")));
        QVERIFY2(closedToOthers(m_program->pid), why("before the sign-in the program's memory is open to others"));
    }

    // Signed in, with the start page in every tab and nothing opened, the window closes and the program ends well.
    void closesWithStartPagesShown()
    {
        QString error = m_desktop.logIn(m_desktop.waitFor(Titles::kLogin, m_program->pid), kUser, kMaster);
        if (error.isEmpty() && m_desktop.keys({"Return"}))
            error = m_desktop.awaitClosed(Titles::kLogin, m_program->pid);
        QVERIFY2(error.isEmpty(), why(error));
        m_main = m_desktop.waitFor(Titles::kMain, m_program->pid);
        QVERIFY2(!m_main.isEmpty(), why("no main window after the login"));
        shot("start-pages");
        QVERIFY2(m_desktop.close(m_main, m_program->pid) && m_program->ended(20000), why("the window did not close"));
        QCOMPARE(m_program->process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(m_program->process.exitCode(), 0);
        m_main.clear();
    }

    void cleanupTestCase()
    {
        if (m_program && !m_main.isEmpty() && m_desktop.close(m_main, m_program->pid))
            m_program->ended(15000);
    }
};

QTEST_GUILESS_MAIN(tst_EndToEnd)
#include "tst_e2e.moc"
