// The whole program as a user meets it: a real window on the X display, keys and clicks from xdotool,
// a fresh program folder, and a local website whose login form the program fills in and submits.

#include "desktopdriver.h"
#include "launchedprogram.h"
#include "loginpageserver.h"
#include "mainwindowcontrols.h"
#include "programfolder.h"
#include "signinflow.h"
#include "vaultrywindows.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QThread>
#include <QtTest>

#include <memory>

// Like QVERIFY2, but the message (with its screenshot) is only made when the check fails.
#define E2E_VERIFY(condition, message)                                                                                 \
    do {                                                                                                               \
        if (!(condition))                                                                                              \
            QFAIL(qPrintable(failure(message)));                                                                       \
    } while (false)

namespace {
const QString kUserName = QStringLiteral("e2euser");
const QString kMasterPassword = QStringLiteral("tempo42x");
const QString kProfileName = QStringLiteral("Members Club");
const QString kLoginName = QStringLiteral("e2e.member@example.org");
const QString kSitePassword = QStringLiteral("Site-Pass 9!");
constexpr int kWindowTimeoutMs = SignInFlow::kWindowTimeoutMs;
constexpr int kPostTimeoutMs = 45000;

QByteArray fileDigest(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}
} // namespace

class tst_EndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void firstStartEnrols();
    void newProfileIsSignedInAutomatically();
    void restartLogsInAndListsTheProfile();
    void secondCopyIsRefused();
    void cleanupTestCase();

private:
    void shot(const QString &step);
    bool earlierStepsPassed();
    QString failure(const QString &what);
    bool waitForPosts(int count);

    DesktopDriver m_driver;
    std::unique_ptr<ProgramFolder> m_folder;
    std::unique_ptr<SignInFlow> m_flow;
    LoginPageServer m_site;
    QString m_artifacts;
    int m_shotNumber = 0;
    std::unique_ptr<LaunchedProgram> m_program;
    QString m_mainWindow;
    bool m_stepFailed = false;
};

void tst_EndToEnd::initTestCase()
{
    const QString unavailable = DesktopDriver::unavailableReason();
    if (!unavailable.isEmpty())
        QSKIP(qPrintable(unavailable));

    m_artifacts =
        qEnvironmentVariable("VAULTRY_E2E_ARTIFACTS", QDir::current().filePath(QStringLiteral("e2e-artifacts")));
    QDir artifacts(m_artifacts);
    QVERIFY2(artifacts.mkpath(QStringLiteral(".")), qPrintable(QStringLiteral("cannot create %1").arg(m_artifacts)));
    for (const QString &old : artifacts.entryList({QStringLiteral("*.png")}, QDir::Files))
        artifacts.remove(old);

    m_folder = std::make_unique<ProgramFolder>(qEnvironmentVariable("VAULTRY_PROGRAM_DIR"));
    QVERIFY2(m_folder->error().isEmpty(), qPrintable(m_folder->error()));
    QVERIFY2(!m_folder->missing().contains(ProgramFolder::engineFileName()),
             "the typing-rhythm engine has not been built: no login could ever pass");
    if (!m_folder->missing().isEmpty())
        qWarning("not in the build's program folder: %s", qPrintable(m_folder->missing().join(QStringLiteral(", "))));
    qInfo("program folder under test: %s", qPrintable(m_folder->path()));

    QVERIFY2(m_site.listen(), qPrintable(m_site.errorString()));
    m_flow = std::make_unique<SignInFlow>(m_driver, kUserName, kMasterPassword, 20261206);
}

void tst_EndToEnd::shot(const QString &step)
{
    const QString path =
        QDir(m_artifacts).filePath(QStringLiteral("%1-%2.png").arg(++m_shotNumber, 2, 10, QLatin1Char('0')).arg(step));
    if (!m_driver.screenshot(path))
        qWarning("could not save the screenshot %s", qPrintable(path));
}

// The steps build on each other: a step after a failed one has nothing to work on.
bool tst_EndToEnd::earlierStepsPassed()
{
    if (m_stepFailed)
        return false;
    m_stepFailed = true; // cleared by each step when it gets to its end
    return true;
}

// The message of a failed step, with the program's own output and a screenshot of the moment.
QString tst_EndToEnd::failure(const QString &what)
{
    shot(QStringLiteral("failure"));
    QString text = what;
    if (m_program) {
        if (!DesktopDriver::processAlive(m_program->pid()))
            text += QStringLiteral(" (the program has ended)");
        text += QStringLiteral("\n--- program output ---\n") + m_program->output().right(3000);
    }
    return text;
}

bool tst_EndToEnd::waitForPosts(int count)
{
    QDeadlineTimer deadline(kPostTimeoutMs);
    while (m_site.posts().size() < count && !deadline.hasExpired())
        QTest::qWait(100);
    return m_site.posts().size() >= count;
}

void tst_EndToEnd::firstStartEnrols()
{
    if (!earlierStepsPassed())
        QSKIP("an earlier step failed, see above");
    QString error;
    m_program = std::make_unique<LaunchedProgram>();
    QVERIFY2(m_program->start(m_folder->program(), {}, &error), qPrintable(error));

    E2E_VERIFY(!m_driver.waitForWindow(VaultryWindows::kEnrolment, m_program->pid(), kWindowTimeoutMs).isEmpty(),
               QStringLiteral("no enrolment dialog on the first start"));
    shot(QStringLiteral("enrolment-dialog"));
    error = m_flow->enterNewUser(m_program->pid());
    E2E_VERIFY(error.isEmpty(), error);
    shot(QStringLiteral("enrolment-training"));
    error = m_flow->typeTenSamples(m_program->pid());
    E2E_VERIFY(error.isEmpty(), error);

    m_mainWindow = m_driver.waitForWindow(VaultryWindows::kMain, m_program->pid(), kWindowTimeoutMs);
    E2E_VERIFY(!m_mainWindow.isEmpty(), QStringLiteral("no main window after the enrolment"));
    QThread::msleep(1500); // let the start pages paint before the picture is taken
    shot(QStringLiteral("main-window-after-enrolment"));
    E2E_VERIFY(QFileInfo(m_folder->filePath(QStringLiteral("vy.bdb"))).size() > 0,
               QStringLiteral("the enrolment saved no vy.bdb in the program folder"));
    m_stepFailed = false;
}

void tst_EndToEnd::newProfileIsSignedInAutomatically()
{
    if (!earlierStepsPassed())
        QSKIP("an earlier step failed, see above");
    const MainWindowControls controls(m_driver, m_mainWindow);
    QString error = controls.clickAutoSignIn();
    E2E_VERIFY(error.isEmpty(), error);
    shot(QStringLiteral("auto-sign-in-ticked"));
    error = controls.pressNewWebsiteProfile();
    E2E_VERIFY(error.isEmpty(), error);

    const QString editor = m_driver.waitForWindow(VaultryWindows::kProfileEditor, m_program->pid(), kWindowTimeoutMs);
    E2E_VERIFY(!editor.isEmpty(), QStringLiteral("the profile editor did not open"));
    QVERIFY(m_driver.focus(editor));
    QThread::msleep(300);
    // The tab order runs name, URL, login name, password; Enter is Confirm.
    QVERIFY(m_driver.typeText(kProfileName, 40));
    QVERIFY(m_driver.key(QStringLiteral("Tab")));
    QVERIFY(m_driver.typeText(m_site.loginUrl(), 20));
    QVERIFY(m_driver.key(QStringLiteral("Tab")));
    QVERIFY(m_driver.typeText(kLoginName, 40));
    QVERIFY(m_driver.key(QStringLiteral("Tab")));
    QVERIFY(m_driver.typeText(kSitePassword, 40));
    shot(QStringLiteral("profile-editor-filled"));
    QVERIFY(m_driver.key(QStringLiteral("Return")));

    const QString updated = m_driver.waitForWindow(VaultryWindows::kMessage, m_program->pid(), kWindowTimeoutMs);
    E2E_VERIFY(!updated.isEmpty(), QStringLiteral("no message box after Confirm"));
    shot(QStringLiteral("database-updated"));
    QVERIFY(m_driver.focus(updated));
    QVERIFY(m_driver.key(QStringLiteral("Return")));
    E2E_VERIFY(m_driver.waitForNoWindow(VaultryWindows::kProfileEditor, m_program->pid(), kWindowTimeoutMs),
               QStringLiteral("the profile editor stayed open after \"Database updated successfully.\""));

    E2E_VERIFY(waitForPosts(1),
               QStringLiteral("the login page was not submitted within %1 s; "
                              "requests the site saw: %2")
                   .arg(kPostTimeoutMs / 1000)
                   .arg(m_site.requests().join(QStringLiteral(", "))));
    const QHash<QString, QString> post = m_site.posts().constFirst();
    QCOMPARE(post.value(QStringLiteral("login")), kLoginName);
    QCOMPARE(post.value(QStringLiteral("password")), kSitePassword);
    QThread::msleep(1000);
    shot(QStringLiteral("signed-in-automatically"));
    m_stepFailed = false;
}

void tst_EndToEnd::restartLogsInAndListsTheProfile()
{
    if (!earlierStepsPassed())
        QSKIP("an earlier step failed, see above");
    E2E_VERIFY(m_driver.closeWindow(m_mainWindow, 30000), QStringLiteral("the main window did not close when asked"));
    E2E_VERIFY(m_program->waitForExit(30000),
               QStringLiteral("the program did not end when its main "
                              "window was closed"));
    // The database on disk is enciphered: neither password lies in it as plain text.
    QFile database(m_folder->filePath(QStringLiteral("vy.bdb")));
    QVERIFY(database.open(QIODevice::ReadOnly));
    const QByteArray stored = database.readAll();
    QVERIFY(!stored.contains(kMasterPassword.toLatin1()));
    QVERIFY(!stored.contains(kSitePassword.toLatin1()));

    const bool profileAdded = !m_site.posts().isEmpty();
    if (profileAdded) {
        const QSettings ini(m_folder->filePath(QStringLiteral("vy.ini")), QSettings::IniFormat);
        QCOMPARE(ini.value(QStringLiteral("Vaultry/AutoSignIn")).toString(), QStringLiteral("1"));
    }

    QString error;
    m_program = std::make_unique<LaunchedProgram>();
    QVERIFY2(m_program->start(m_folder->program(), {}, &error), qPrintable(error));
    const QString login = m_driver.waitForWindow(VaultryWindows::kLogin, m_program->pid(), kWindowTimeoutMs);
    E2E_VERIFY(!login.isEmpty(), QStringLiteral("no login dialog on the second start"));
    shot(QStringLiteral("login-dialog"));
    error = m_flow->fillInLogin(login);
    E2E_VERIFY(error.isEmpty(), error);
    shot(QStringLiteral("login-filled-in"));
    error = m_flow->pressNext();
    E2E_VERIFY(error.isEmpty(), error);
    error = m_flow->awaitLoginClosed(m_program->pid());
    E2E_VERIFY(error.isEmpty(), error);

    m_mainWindow = m_driver.waitForWindow(VaultryWindows::kMain, m_program->pid(), kWindowTimeoutMs);
    E2E_VERIFY(!m_mainWindow.isEmpty(), QStringLiteral("no main window after the login"));
    QThread::msleep(1500);
    shot(QStringLiteral("main-window-after-login"));

    if (profileAdded) {
        // The stored profile is in the list: choosing it opens the site, and the switch, kept in vy.ini, signs in.
        const MainWindowControls controls(m_driver, m_mainWindow);
        error = controls.chooseProfile(1);
        E2E_VERIFY(error.isEmpty(), error);
        E2E_VERIFY(waitForPosts(2),
                   QStringLiteral("choosing the listed profile after the login "
                                  "did not sign in within %1 s")
                       .arg(kPostTimeoutMs / 1000));
        QCOMPARE(m_site.posts().constLast().value(QStringLiteral("login")), kLoginName);
        QThread::msleep(1000);
        shot(QStringLiteral("listed-profile-signed-in"));
    }
    m_stepFailed = false;
}

void tst_EndToEnd::secondCopyIsRefused()
{
    if (!earlierStepsPassed())
        QSKIP("an earlier step failed, see above");
    const QString database = m_folder->filePath(QStringLiteral("vy.bdb"));
    const QByteArray before = fileDigest(database);
    const QStringList filesBefore = QDir(m_folder->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    LaunchedProgram second;
    QString error;
    QVERIFY2(second.start(m_folder->program(), {}, &error), qPrintable(error));
    const QString box = m_driver.waitForWindow(VaultryWindows::kMessage, second.pid(), kWindowTimeoutMs);
    E2E_VERIFY(!box.isEmpty(), QStringLiteral("the second copy showed no message box; its output: ") + second.output());
    QVERIFY2(m_driver.visibleWindows(VaultryWindows::kLogin, second.pid()).isEmpty() &&
                 m_driver.visibleWindows(VaultryWindows::kEnrolment, second.pid()).isEmpty(),
             "the second copy opened a sign-in dialog");
    shot(QStringLiteral("second-copy-refused"));
    QVERIFY(m_driver.focus(box));
    QVERIFY(m_driver.key(QStringLiteral("Return")));
    E2E_VERIFY(second.waitForExit(20000),
               QStringLiteral("the second copy did not end after its "
                              "message was confirmed"));

    QVERIFY2(m_program->isRunning(), "the first copy ended when the second one was refused");
    QVERIFY(!m_driver.visibleWindows(VaultryWindows::kMain, m_program->pid()).isEmpty());
    QCOMPARE(fileDigest(database), before);
    QCOMPARE(QDir(m_folder->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), filesBefore);
    m_stepFailed = false;
}

void tst_EndToEnd::cleanupTestCase()
{
    if (m_program && m_program->isRunning() && !m_mainWindow.isEmpty()) {
        m_driver.closeWindow(m_mainWindow, 15000);
        m_program->waitForExit(15000);
    }
    m_program.reset(); // ends whatever is left of it
    if (!m_artifacts.isEmpty())
        qInfo("screenshots of every step: %s", qPrintable(m_artifacts));
}

QTEST_GUILESS_MAIN(tst_EndToEnd)
#include "tst_e2e.moc"
