#include "clsagentdb.h"
#include "dialogtesting.h"
#include "frmtympra.h"
#include "recordingmessageservice.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

// One enrolment dialog on a fresh program folder.
struct Enrolment
{
    explicit Enrolment(bool openFirst = false)
    {
        if (openFirst)
            db.OpenDB();
        dialog.RegisterNewTYMProfile();
        dialog.show();
    }
    void firstStep(const QString &user, const QString &password)
    {
        typist.type(dialog.txtUserID, user);
        typist.type(dialog.txtMasterPassword, password);
        dialog.cmdNext->click();
    }
    void sample(const QString &password)
    {
        typist.type(dialog.txtMasterPassword, password);
        dialog.cmdNext->click();
    }

    QTemporaryDir folder;
    clsAgentDB db {folder.path()};
    RecordingMessageService messages;
    bool granted = false;
    TestKeyClock clock;
    Typist typist {clock};
    frmTympra dialog {db, granted, messages, QStringLiteral("/nonexistent/Tymcore"), clock};
};

} // namespace

class tst_frmTympraEnrolment : public QObject
{
    Q_OBJECT

private slots:
    void controls();
    void modes();
    void enrolmentWritesTheDatabase();
    void lengthLimits_data();
    void lengthLimits();
    void boxesRefuseExtraCharacters();
    void textTheDatabaseCannotHold_data();
    void textTheDatabaseCannotHold();
    void refusedSamplesKeepTheCount_data();
    void refusedSamplesKeepTheCount();
    void correctionInTheFirstStep();
    void failingSave();
    void unreadableDatabaseIsKept();
    void cancelLeavesEverything();
};

void tst_frmTympraEnrolment::controls()
{
    Enrolment e;
    frmTympra &d = e.dialog;
    QCOMPARE(d.lblUserID->text(), QStringLiteral("Username:"));
    QCOMPARE(d.lblPassword->text(), QStringLiteral("Master Password:"));
    QCOMPARE(d.lblRegistration->text(), QStringLiteral("Create Tympra Profile"));
    QCOMPARE(d.lblRegistration->toolTip(), QStringLiteral("Only for first time Tympra Registration"));
    QCOMPARE(d.cmdNext->text(), QStringLiteral("Next"));
    QCOMPARE(d.cmdCancel->text(), QStringLiteral("Cancel"));
    QCOMPARE(d.txtUserID->maxLength(), 30);
    QCOMPARE(d.txtMasterPassword->maxLength(), 15);
    QCOMPARE(d.txtCount->text(), QStringLiteral("0"));
    QCOMPARE(d.pgrTimes->maximum(), 10);
    QVERIFY(d.cmdNext->isDefault());
    e.typist.type(d.txtMasterPassword, QStringLiteral("abc1"));
    QCOMPARE(d.txtMasterPassword->displayText(), QStringLiteral("****"));
    // Tab order: user name, password, Next, Cancel.
    const auto nextTabStop = [](QWidget *w) {
        do
            w = w->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisible());
        return w;
    };
    QCOMPARE(nextTabStop(d.txtUserID), static_cast<QWidget *>(d.txtMasterPassword));
    QCOMPARE(nextTabStop(d.txtMasterPassword), static_cast<QWidget *>(d.cmdNext));
    QCOMPARE(nextTabStop(d.cmdNext), static_cast<QWidget *>(d.cmdCancel));
    // Focusing a box selects all of it.
    d.txtUserID->setText(QStringLiteral("alice"));
    QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(d.txtUserID, &focusIn);
    QCOMPARE(d.txtUserID->selectedText(), QStringLiteral("alice"));
    // Enter presses Next: with a short user name that is a refusal.
    d.txtUserID->setText(QStringLiteral("al"));
    QTest::keyClick(d.txtUserID, Qt::Key_Return);
    QCOMPARE(e.messages.lastText(), QStringLiteral("Invalid Username length."));
    // Esc cancels.
    QTest::keyClick(&d, Qt::Key_Escape);
    QVERIFY(!d.isVisible());
    QCOMPARE(e.granted, false);
}

void tst_frmTympraEnrolment::modes()
{
    QTemporaryDir folder;
    clsAgentDB db(folder.path());
    RecordingMessageService messages;
    bool granted = false;
    TestKeyClock clock;
    frmTympra plain(db, granted, messages, QString(), clock);
    QCOMPARE(plain.windowTitle(), QStringLiteral("Vaultry"));
    plain.show();
    plain.txtUserID->setText(QStringLiteral("alice"));
    plain.txtMasterPassword->setText(QStringLiteral("Secret7"));
    plain.cmdNext->click(); // neither mode: nothing happens
    QVERIFY(plain.isVisible());
    QVERIFY(messages.messages.isEmpty());

    frmTympra enrol(db, granted, messages, QString(), clock);
    enrol.RegisterNewTYMProfile();
    enrol.show();
    QCOMPARE(enrol.windowTitle(), QStringLiteral("Vaultry Registration - powered by Tympra"));
    QCOMPARE(enrol.lblTip->text(), QStringLiteral("Key in a new pair of Username and Master Password."));
    QVERIFY(enrol.lblRegistration->isVisible());
    QVERIFY(!enrol.pgrTimes->isVisible());
    QVERIFY(!enrol.txtCount->isVisible());

    frmTympra login(db, granted, messages, QString(), clock);
    login.LogInTYMProfile();
    login.show();
    QCOMPARE(login.windowTitle(), QStringLiteral("Vaultry Login - powered by Tympra"));
    QCOMPARE(login.lblTip->text(), QStringLiteral("Type your Master Password using your normal typing rhythm."));
    QVERIFY(!login.lblRegistration->isVisible());
    QVERIFY(!login.pgrTimes->isVisible());
    QVERIFY(!login.txtCount->isVisible());
}

void tst_frmTympraEnrolment::enrolmentWritesTheDatabase()
{
    Enrolment e;
    e.firstStep(QStringLiteral("alice"), QStringLiteral("Secret7"));
    QVERIFY(e.messages.messages.isEmpty());
    QVERIFY(e.dialog.txtUserID->isReadOnly());
    QVERIFY(e.dialog.txtMasterPassword->text().isEmpty());
    QVERIFY(e.dialog.pgrTimes->isVisible());
    QCOMPARE(e.dialog.lblTip->text(),
             QStringLiteral("Type your Master Password for 10 times using your normal typing rhythm."));
    for (int n = 1; n <= 9; ++n)
        e.sample(QStringLiteral("Secret7"));
    QCOMPARE(e.dialog.txtCount->text(), QStringLiteral("9"));
    QCOMPARE(e.dialog.pgrTimes->value(), 9);
    QVERIFY(e.dialog.isVisible());
    QVERIFY(!QFile::exists(e.db.DBFile()));

    e.sample(QStringLiteral("Secret7"));
    QCOMPARE(e.dialog.txtCount->text(), QStringLiteral("10"));
    QVERIFY(!e.dialog.isVisible());
    QVERIFY(e.granted);
    QVERIFY(e.messages.messages.isEmpty());

    clsAgentDB reread(e.folder.path());
    QVERIFY(reread.OpenDB());
    QCOMPARE(reread.TYMUserID, QStringLiteral("alice"));
    QCOMPARE(reread.TYMMasterPassword, QStringLiteral("Secret7"));
    const QString expected = steadySample(7).repeated(10);
    QCOMPARE(reread.TYMTrainData.left(expected.size()), expected);
    QCOMPARE(reread.TYMTrainData.mid(expected.size()).trimmed(), QString());
}

void tst_frmTympraEnrolment::lengthLimits_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("message");

    QTest::newRow("user name of 2") << "ab"
                                    << "Secret7"
                                    << "Invalid Username length.";
    QTest::newRow("user name of 3") << "abc"
                                    << "Secret7"
                                    << "";
    QTest::newRow("user name of 30") << QString(30, QLatin1Char('u')) << "Secret7"
                                     << "";
    QTest::newRow("password of 5") << "alice"
                                   << "abcd5"
                                   << "Invalid Master Password length.";
    QTest::newRow("password of 6") << "alice"
                                   << "abcd56"
                                   << "";
    QTest::newRow("password of 15") << "alice"
                                    << "abcdefghij12345"
                                    << "";
    QTest::newRow("both wrong: user name first") << "a"
                                                 << "abc"
                                                 << "Invalid Username length.";
}

void tst_frmTympraEnrolment::lengthLimits()
{
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(QString, message);
    Enrolment e;
    e.firstStep(user, password);
    if (message.isEmpty()) {
        QVERIFY(e.messages.messages.isEmpty());
        QVERIFY(e.dialog.pgrTimes->isVisible());
        QVERIFY(e.dialog.txtMasterPassword->text().isEmpty());
        return;
    }
    QCOMPARE(e.messages.messages.size(), 1);
    QCOMPARE(e.messages.messages[0].text, message);
    QCOMPARE(e.messages.messages[0].title, QStringLiteral("Registration"));
    QCOMPARE(e.messages.messages[0].icon, MessageIcon::Warning);
    QCOMPARE(e.messages.messages[0].buttons, MessageButtons::Ok);
    const bool userRefused = message.contains(QLatin1String("Username"));
    QCOMPARE(e.dialog.focusWidget(),
             static_cast<QWidget *>(userRefused ? e.dialog.txtUserID : e.dialog.txtMasterPassword));
    QCOMPARE(e.dialog.txtMasterPassword->text(), password); // the box keeps its text
    QVERIFY(!e.dialog.pgrTimes->isVisible());
    QVERIFY(!e.dialog.txtUserID->isReadOnly());
}

void tst_frmTympraEnrolment::boxesRefuseExtraCharacters()
{
    Enrolment e;
    e.typist.type(e.dialog.txtUserID, QString(31, QLatin1Char('x')));
    QCOMPARE(e.dialog.txtUserID->text().size(), 30);
    e.typist.type(e.dialog.txtMasterPassword, QStringLiteral("abcdefghij123456"));
    QCOMPARE(e.dialog.txtMasterPassword->text(), QStringLiteral("abcdefghij12345"));
}

void tst_frmTympraEnrolment::textTheDatabaseCannotHold_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("field");

    QTest::newRow("user name") << QStringLiteral("Ωmega") << "Secret7"
                               << "Username";
    QTest::newRow("master password") << "alice" << QStringLiteral("пароль12") << "Master Password";
    QTest::newRow("code page 1252 letters pass") << QStringLiteral("Zoë") << QStringLiteral("Straße€1") << "";
}

void tst_frmTympraEnrolment::textTheDatabaseCannotHold()
{
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(QString, field);
    Enrolment e;
    e.dialog.txtUserID->setText(user);
    e.dialog.txtMasterPassword->setText(password);
    e.dialog.cmdNext->click();
    if (field.isEmpty()) {
        QVERIFY(e.messages.messages.isEmpty());
        QVERIFY(e.dialog.pgrTimes->isVisible());
        return;
    }
    QCOMPARE(e.messages.messages.size(), 1);
    QVERIFY(e.messages.messages[0].text.contains(field));
    QCOMPARE(e.messages.messages[0].title, QStringLiteral("Registration"));
    QCOMPARE(e.messages.messages[0].icon, MessageIcon::Warning);
    QVERIFY(!e.dialog.pgrTimes->isVisible());
}

void tst_frmTympraEnrolment::refusedSamplesKeepTheCount_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("correction");

    QTest::newRow("other letter case") << "Secret7"
                                       << "sECRET7" << false;
    QTest::newRow("with a correction") << "Secret7"
                                       << "Secret77" << true;
    QTest::newRow("non-alphanumeric password") << "abc-123"
                                               << "abc-123" << false;
    QTest::newRow("password with a blank") << "abc 123"
                                           << "abc 123" << false;
}

void tst_frmTympraEnrolment::refusedSamplesKeepTheCount()
{
    QFETCH(QString, password);
    QFETCH(QString, typed);
    QFETCH(bool, correction);
    Enrolment e;
    e.firstStep(QStringLiteral("alice"), password);
    QVERIFY(e.messages.messages.isEmpty());
    const bool alphanumeric = !password.contains(QLatin1Char('-')) && !password.contains(QLatin1Char(' '));
    if (alphanumeric) {
        e.sample(password);
        QCOMPARE(e.dialog.txtCount->text(), QStringLiteral("1"));
    }
    const QString countBefore = e.dialog.txtCount->text();
    e.typist.type(e.dialog.txtMasterPassword, typed);
    if (correction) {
        e.typist.press(e.dialog.txtMasterPassword, Qt::Key_Backspace);
        QCOMPARE(e.dialog.txtMasterPassword->text(), QString()); // emptied on the key-up
    }
    e.dialog.cmdNext->click();
    QCOMPARE(e.messages.messages.size(), 1);
    QCOMPARE(e.messages.messages[0].text, QStringLiteral("Invalid Password."));
    QCOMPARE(e.messages.messages[0].title, QStringLiteral("Registration"));
    QCOMPARE(e.messages.messages[0].icon, MessageIcon::Warning);
    QCOMPARE(e.dialog.txtCount->text(), countBefore);
    QVERIFY(e.dialog.txtMasterPassword->text().isEmpty());
    QVERIFY(e.dialog.isVisible());
    // A clean typing is taken afterwards; a password the capture cannot count never is.
    e.sample(password);
    QCOMPARE(e.dialog.txtCount->text(), alphanumeric ? QString::number(countBefore.toInt() + 1) : countBefore);
}

void tst_frmTympraEnrolment::correctionInTheFirstStep()
{
    Enrolment e;
    e.typist.type(e.dialog.txtUserID, QStringLiteral("alice"));
    e.typist.type(e.dialog.txtMasterPassword, QStringLiteral("Secret7"));
    e.typist.press(e.dialog.txtMasterPassword, Qt::Key_Delete);
    QCOMPARE(e.dialog.txtMasterPassword->text(), QString());
    QCOMPARE(e.dialog.txtUserID->text(), QStringLiteral("alice"));
}

void tst_frmTympraEnrolment::failingSave()
{
    Enrolment e;
    // A folder where the database file should be: no file can be written there.
    QVERIFY(QDir(e.folder.path()).mkdir(QStringLiteral("vy.bdb")));
    e.firstStep(QStringLiteral("alice"), QStringLiteral("Secret7"));
    for (int n = 0; n < 10; ++n)
        e.sample(QStringLiteral("Secret7"));
    QCOMPARE(e.messages.messages.size(), 1);
    QCOMPARE(e.messages.messages[0].text, QStringLiteral("Failed to save profile."));
    QCOMPARE(e.messages.messages[0].title, QStringLiteral("Vaultry"));
    QCOMPARE(e.messages.messages[0].icon, MessageIcon::Critical);
    QVERIFY(!e.dialog.isVisible());
    QCOMPARE(e.granted, false);
    QVERIFY(QFileInfo(e.db.DBFile()).isDir());
}

void tst_frmTympraEnrolment::unreadableDatabaseIsKept()
{
    QTemporaryDir folder;
    QFile damaged(QDir(folder.path()).filePath(QStringLiteral("vy.bdb")));
    QVERIFY(damaged.open(QIODevice::WriteOnly));
    damaged.write(QByteArray(64, '\x5a'));
    damaged.close();

    clsAgentDB db(folder.path());
    QVERIFY(!db.OpenDB());
    RecordingMessageService messages;
    bool granted = false;
    TestKeyClock clock;
    Typist typist {clock};
    frmTympra dialog(db, granted, messages, QString(), clock);
    dialog.RegisterNewTYMProfile();
    dialog.show();
    QVERIFY(dialog.lblKeptDatabase->isVisible());
    QVERIFY(dialog.lblKeptDatabase->text().contains(QStringLiteral("vy.bdb")));

    typist.type(dialog.txtUserID, QStringLiteral("alice"));
    typist.type(dialog.txtMasterPassword, QStringLiteral("Secret7"));
    dialog.cmdNext->click();
    for (int n = 0; n < 10; ++n) {
        typist.type(dialog.txtMasterPassword, QStringLiteral("Secret7"));
        dialog.cmdNext->click();
    }
    QVERIFY(granted);
    QVERIFY(!db.KeptUnreadableDBFile().isEmpty());
    QVERIFY(dialog.lblKeptDatabase->text().contains(QDir::toNativeSeparators(db.KeptUnreadableDBFile())));
    QCOMPARE(messages.messages.size(), 1);
    QCOMPARE(messages.messages.first().icon, MessageIcon::Information);
    QVERIFY(messages.lastText().contains(QDir::toNativeSeparators(db.KeptUnreadableDBFile())));
    QFile kept(db.KeptUnreadableDBFile());
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray(64, '\x5a'));
}

void tst_frmTympraEnrolment::cancelLeavesEverything()
{
    Enrolment e;
    e.firstStep(QStringLiteral("alice"), QStringLiteral("Secret7"));
    e.sample(QStringLiteral("Secret7"));
    e.dialog.cmdCancel->click();
    QVERIFY(!e.dialog.isVisible());
    QCOMPARE(e.granted, false);
    QCOMPARE(QDir(e.folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
}

QTEST_MAIN(tst_frmTympraEnrolment)
#include "tst_frmtympra_enrolment.moc"
