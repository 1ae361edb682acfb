#include "clsagentdb.h"
#include "programrun.h"

#include <QRegularExpression>
#include <QTest>

#include <csignal>

namespace {

const QString kEnrolment = QStringLiteral("Vaultry Registration - powered by Tympra");
const QString kLogin = QStringLiteral("Vaultry Login - powered by Tympra");
const QString kMainWindow = QStringLiteral("Vaultry (Free Distribution)");
const QString kMessageBox = QStringLiteral("Vaultry");

bool finishes(QProcess *process)
{
    return process->waitForFinished(20000) && process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
}

void enrolUser(const QString &folder, const QString &user, const QString &password, const QString &trainData)
{
    clsAgentDB db(folder);
    db.TYMUserID = user;
    db.TYMMasterPassword = password;
    db.TYMTrainData = trainData;
    QVERIFY(db.SaveDB());
}

} // namespace

class tst_Startup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void noDatabaseGivesEnrolment();
    void validDatabaseGivesLogin();
    void unreadableDatabaseGivesEnrolment();
    void cipherMessageComesFirst();
    void secondCopyIsRefused();
    void crashedCopyDoesNotBlock();
    void enrolThenLogInByTyping();
};

void tst_Startup::initTestCase()
{
    ProgramFolder folder;
    QVERIFY2(QFile::exists(folder.path(QStringLiteral("vaultry"))), "build/bin/vaultry is missing");
    QVERIFY2(!x11::xdotool({QStringLiteral("getmouselocation")}).isEmpty(), "needs an X server (xvfb-run)");
}

void tst_Startup::noDatabaseGivesEnrolment()
{
    ProgramFolder folder;
    const QStringList before = folder.snapshot();
    QProcess *program = folder.start(this);
    const QString dialog = x11::waitForWindow(program->processId(), kEnrolment);
    QVERIFY(!dialog.isEmpty());
    QVERIFY(x11::windows(program->processId(), kMainWindow).isEmpty());
    // Cancel with Esc: the program ends, no main window, no new file.
    x11::keys(dialog, {QStringLiteral("Escape")});
    QVERIFY(finishes(program));
    QCOMPARE(folder.snapshot(), before);
}

void tst_Startup::validDatabaseGivesLogin()
{
    ProgramFolder folder;
    enrolUser(folder.path(), QStringLiteral("alice"), QStringLiteral("Secret7"),
              QStringLiteral("0.15 0.08 0.08 % ").repeated(10));
    QTest::qWait(20); // a rewrite would show in the time of change
    const QStringList before = folder.snapshot();
    QFile db(folder.path(QStringLiteral("vy.bdb")));
    QVERIFY(db.open(QIODevice::ReadOnly));
    const QByteArray bytes = db.readAll();
    db.close();

    QProcess *program = folder.start(this);
    const QString dialog = x11::waitForWindow(program->processId(), kLogin);
    QVERIFY(!dialog.isEmpty());
    QVERIFY(x11::windows(program->processId(), kEnrolment).isEmpty());
    // The Cancel button by keyboard: Tab from the user name over the password and Next to Cancel.
    x11::keys(dialog, {QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("space")});
    QVERIFY(finishes(program));
    QCOMPARE(folder.snapshot(), before);
    QVERIFY(db.open(QIODevice::ReadOnly));
    QCOMPARE(db.readAll(), bytes);
}

void tst_Startup::unreadableDatabaseGivesEnrolment()
{
    ProgramFolder folder;
    QFile damaged(folder.path(QStringLiteral("vy.bdb")));
    QVERIFY(damaged.open(QIODevice::WriteOnly));
    damaged.write(QByteArray(48, '\x11'));
    damaged.close();
    const QStringList before = folder.snapshot();
    QProcess *program = folder.start(this);
    const QString dialog = x11::waitForWindow(program->processId(), kEnrolment);
    QVERIFY(!dialog.isEmpty());
    x11::keys(dialog, {QStringLiteral("Escape")});
    QVERIFY(finishes(program));
    QCOMPARE(folder.snapshot(), before); // kept as it was: nothing is moved before a save
}

// A file whose length is no multiple of the block size: the cipher says so itself, then enrolment follows.
void tst_Startup::cipherMessageComesFirst()
{
    ProgramFolder folder;
    QFile damaged(folder.path(QStringLiteral("vy.bdb")));
    QVERIFY(damaged.open(QIODevice::WriteOnly));
    damaged.write(QByteArray(20, '\x11'));
    damaged.close();
    QProcess *program = folder.start(this);
    const QString message = x11::waitForWindow(program->processId(), kMessageBox);
    QVERIFY(!message.isEmpty());
    QVERIFY(x11::windows(program->processId(), kEnrolment).isEmpty());
    x11::keys(message, {QStringLiteral("Return")});
    const QString dialog = x11::waitForWindow(program->processId(), kEnrolment);
    QVERIFY(!dialog.isEmpty());
    x11::keys(dialog, {QStringLiteral("Escape")});
    QVERIFY(finishes(program));
}

void tst_Startup::secondCopyIsRefused()
{
    ProgramFolder folder;
    QProcess *first = folder.start(this);
    const QString dialog = x11::waitForWindow(first->processId(), kEnrolment);
    QVERIFY(!dialog.isEmpty());
    const QStringList before = folder.snapshot();

    QProcess *second = folder.start(this);
    const QString message = x11::waitForWindow(second->processId(), kMessageBox);
    QVERIFY(!message.isEmpty());
    QVERIFY(x11::windows(second->processId(), kEnrolment).isEmpty());
    QCOMPARE(second->state(), QProcess::Running); // waits for the message to be confirmed
    x11::keys(message, {QStringLiteral("Return")});
    QVERIFY(finishes(second));
    QCOMPARE(folder.snapshot(), before);

    // The running copy is not disturbed.
    QCOMPARE(first->state(), QProcess::Running);
    QCOMPARE(x11::windows(first->processId(), kEnrolment), QStringList {dialog});
    x11::keys(dialog, {QStringLiteral("Escape")});
    QVERIFY(finishes(first));
}

void tst_Startup::crashedCopyDoesNotBlock()
{
    ProgramFolder folder;
    QProcess *crashed = folder.start(this);
    QVERIFY(!x11::waitForWindow(crashed->processId(), kEnrolment).isEmpty());
    ::kill(pid_t(crashed->processId()), SIGKILL);
    QVERIFY(crashed->waitForFinished(10000));

    QProcess *next = folder.start(this);
    const QString dialog = x11::waitForWindow(next->processId(), kEnrolment);
    QVERIFY(!dialog.isEmpty());
    QVERIFY(x11::windows(next->processId(), kMessageBox).isEmpty());
    x11::keys(dialog, {QStringLiteral("Escape")});
    QVERIFY(finishes(next));
}

// A new user enrols by typing, starts again and logs in by typing; the main window opens.
void tst_Startup::enrolThenLogInByTyping()
{
    ProgramFolder folder;
    if (!folder.hasEngine())
        QSKIP("the engine library is not built");
    const QString password = QStringLiteral("Secret7");
    QProcess *program = folder.start(this);
    QString dialog = x11::waitForWindow(program->processId(), kEnrolment);
    QVERIFY(!dialog.isEmpty());
    x11::type(dialog, QStringLiteral("alice"), 100);
    x11::keys(dialog, {QStringLiteral("Tab")});
    x11::type(dialog, password, 100);
    x11::keys(dialog, {QStringLiteral("Return")});
    for (int n = 0; n < 10; ++n) {
        x11::type(dialog, password, 150);
        x11::keys(dialog, {QStringLiteral("Return")});
    }
    QString mainWindow = x11::waitForWindow(program->processId(), kMainWindow);
    QVERIFY2(!mainWindow.isEmpty(), "enrolment did not open the main window");
    QVERIFY(QFile::exists(folder.path(QStringLiteral("vy.bdb"))));
    program->terminate();
    QVERIFY(program->waitForFinished(10000));

    program = folder.start(this);
    dialog = x11::waitForWindow(program->processId(), kLogin);
    QVERIFY(!dialog.isEmpty());
    x11::type(dialog, QStringLiteral("alice"), 100);
    x11::keys(dialog, {QStringLiteral("Tab")});
    // Login attempts are unlimited; a busy machine may spoil one typing's rhythm.
    for (int attempt = 0; attempt < 3 && mainWindow.isEmpty(); ++attempt) {
        x11::type(dialog, password, 150);
        x11::keys(dialog, {QStringLiteral("Return")});
        mainWindow = x11::waitForWindow(program->processId(), kMainWindow, 5000);
        const QString failed = x11::windows(program->processId(), kMessageBox).value(0);
        if (mainWindow.isEmpty() && !failed.isEmpty())
            x11::keys(failed, {QStringLiteral("Return")});
    }
    QVERIFY2(!mainWindow.isEmpty(), "the login by typing did not open the main window");
    program->terminate();
    QVERIFY(program->waitForFinished(10000));
}

// A GUI application keeps a connection to the X server open, so the server never resets between two
// runs of the program (a reset refuses new clients for a moment).
QTEST_MAIN(tst_Startup)
#include "tst_startup.moc"
