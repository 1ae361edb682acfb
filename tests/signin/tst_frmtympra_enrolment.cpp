#include "dialogtesting.h"

#include <QDir>
#include <QLabel>
#include <QProgressBar>

namespace {

const QString kPassword = QStringLiteral("Secret7");

// An enrolment dialog; `firstStep` gives user name and password and presses Next.
struct Enrolment : SignInDialog
{
    Enrolment()
    {
        dialog.RegisterNewTYMProfile();
        dialog.show();
    }
    void firstStep(const QString &user, const QString &password)
    {
        typist.type(dialog.txtUserID, user);
        submit(password);
    }
};

} // namespace

class tst_frmTympraEnrolment : public QObject
{
    Q_OBJECT

private slots:
    void keyboard()
    {
        Enrolment e;
        frmTympra &d = e.dialog;
        e.typist.type(d.txtUserID, QString(31, QLatin1Char('x')));
        QCOMPARE(d.txtUserID->text().size(), 30);
        e.typist.type(d.txtMasterPassword, QStringLiteral("abcdefghij123456"));
        QCOMPARE(d.txtMasterPassword->text(), QStringLiteral("abcdefghij12345"));
        QCOMPARE(d.txtMasterPassword->displayText(), QString(15, QLatin1Char('*')));
        // A correction empties the password box in the first step too, and only that box.
        e.typist.press(d.txtMasterPassword, Qt::Key_Delete);
        QCOMPARE(d.txtMasterPassword->text(), QString());
        QCOMPARE(d.txtUserID->text(), QString(30, QLatin1Char('x')));
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
        QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
        QApplication::sendEvent(d.txtUserID, &focusIn);
        QCOMPARE(d.txtUserID->selectedText(), d.txtUserID->text());
        // Enter presses Next (a short user name is refused), Esc cancels.
        d.txtUserID->setText(QStringLiteral("al"));
        QTest::keyClick(d.txtUserID, Qt::Key_Return);
        QCOMPARE(e.messages.lastText(), QStringLiteral("Invalid Username length."));
        QTest::keyClick(&d, Qt::Key_Escape);
        QVERIFY(!d.isVisible());
        QCOMPARE(e.granted, false);
    }

    void noModeDoesNothing()
    {
        SignInDialog neither;
        neither.dialog.show();
        neither.dialog.txtUserID->setText(QStringLiteral("alice"));
        neither.dialog.txtMasterPassword->setText(kPassword);
        neither.dialog.cmdNext->click(); // no mode chosen: nothing happens
        QVERIFY(neither.dialog.isVisible());
        QVERIFY(neither.messages.messages.isEmpty());
    }

    void enrolmentWritesTheDatabase()
    {
        Enrolment e;
        e.firstStep(QStringLiteral("alice"), kPassword);
        QVERIFY(e.dialog.txtUserID->isReadOnly());
        QVERIFY(e.dialog.txtMasterPassword->text().isEmpty());
        QVERIFY(e.dialog.pgrTimes->isVisible());
        for (int n = 1; n <= 9; ++n)
            e.submit(kPassword);
        QCOMPARE(e.dialog.txtCount->text(), QStringLiteral("9"));
        QCOMPARE(e.dialog.pgrTimes->value(), 9);
        QVERIFY(!QFile::exists(e.db.DBFile()));

        e.submit(kPassword);
        QCOMPARE(e.dialog.txtCount->text(), QStringLiteral("10"));
        QVERIFY(!e.dialog.isVisible());
        QVERIFY(e.granted);
        QVERIFY(e.messages.messages.isEmpty());

        clsAgentDB reread(e.folder.path());
        QVERIFY(reread.OpenDB());
        QCOMPARE(reread.TYMUserID, QStringLiteral("alice"));
        QCOMPARE(reread.TYMMasterPassword, kPassword);
        const QString expected = steadySample(7).repeated(10);
        QCOMPARE(reread.TYMTrainData.left(expected.size()), expected);
        QCOMPARE(reread.TYMTrainData.mid(expected.size()).trimmed(), QString());
    }

    void firstStepRefusals_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("message"); // empty: taken

        const auto row = [](const char *name, const QString &user, const QString &password, const char *message) {
            QTest::newRow(name) << user << password << QString::fromUtf8(message);
        };
        row("user name of 2", "ab", kPassword, "Invalid Username length.");
        row("user name of 3", "abc", kPassword, "");
        row("user name of 30", QString(30, QLatin1Char('u')), kPassword, "");
        row("password of 5", "alice", "abcd5", "Invalid Master Password length.");
        row("password of 6", "alice", "abcd56", "");
        row("password of 15", "alice", "abcdefghij12345", "");
        row("both wrong: user name first", "a", "abc", "Invalid Username length.");
        // Texts the database's code page cannot hold.
        row("user name outside the code page", QStringLiteral("Ωmega"), kPassword, "Username");
        row("password outside the code page", "alice", QStringLiteral("пароль12"), "Master Password");
        row("code page 1252 letters pass", QStringLiteral("Zoë"), QStringLiteral("Straße€1"), "");
    }

    void firstStepRefusals()
    {
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, message);
        Enrolment e;
        e.dialog.txtUserID->setText(user);
        e.dialog.txtMasterPassword->setText(password);
        e.dialog.cmdNext->click();
        QCOMPARE(e.dialog.pgrTimes->isVisible(), message.isEmpty());
        if (message.isEmpty()) {
            QVERIFY(e.messages.messages.isEmpty());
            QVERIFY(e.dialog.txtMasterPassword->text().isEmpty());
            return;
        }
        QCOMPARE(e.messages.messages.size(), 1);
        QVERIFY(e.messages.lastText().contains(message));
        QCOMPARE(e.messages.messages[0].title, QStringLiteral("Registration"));
        QCOMPARE(e.messages.messages[0].icon, MessageIcon::Warning);
        const bool userRefused = message.contains(QLatin1String("Username"));
        QCOMPARE(e.dialog.focusWidget(),
                 static_cast<QWidget *>(userRefused ? e.dialog.txtUserID : e.dialog.txtMasterPassword));
        QCOMPARE(e.dialog.txtMasterPassword->text(), password); // the box keeps its text
        QVERIFY(!e.dialog.txtUserID->isReadOnly());
    }

    void refusedSamplesKeepTheCount_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("correction");

        const auto row = [](const char *name, const QString &password, const QString &typed, bool correction) {
            QTest::newRow(name) << password << typed << correction;
        };
        row("other letter case", kPassword, "sECRET7", false);
        row("with a correction", kPassword, "Secret77", true);
        row("non-alphanumeric password", "abc-123", "abc-123", false);
        row("password with a blank", "abc 123", "abc 123", false);
    }

    void refusedSamplesKeepTheCount()
    {
        QFETCH(QString, password);
        QFETCH(QString, typed);
        QFETCH(bool, correction);
        Enrolment e;
        e.firstStep(QStringLiteral("alice"), password);
        QVERIFY(e.messages.messages.isEmpty());
        const bool alphanumeric = !password.contains(QLatin1Char('-')) && !password.contains(QLatin1Char(' '));
        if (alphanumeric)
            e.submit(password);
        const QString countBefore = e.dialog.txtCount->text();
        QCOMPARE(countBefore, alphanumeric ? QStringLiteral("1") : QStringLiteral("0"));
        e.typist.type(e.dialog.txtMasterPassword, typed);
        if (correction) {
            e.typist.press(e.dialog.txtMasterPassword, Qt::Key_Backspace);
            QCOMPARE(e.dialog.txtMasterPassword->text(), QString()); // emptied on the key-up
        }
        e.dialog.cmdNext->click();
        QCOMPARE(e.shown(), QStringList {QStringLiteral("Registration: Invalid Password.")});
        QCOMPARE(e.dialog.txtCount->text(), countBefore);
        QVERIFY(e.dialog.txtMasterPassword->text().isEmpty());
        // A clean typing is taken afterwards; a password the capture cannot count never is.
        e.submit(password);
        QCOMPARE(e.dialog.txtCount->text(), alphanumeric ? QStringLiteral("2") : countBefore);
    }

    void failingSave()
    {
        Enrolment e;
        // A folder where the database file should be: no file can be written there.
        QVERIFY(QDir(e.folder.path()).mkdir(QStringLiteral("vy.bdb")));
        e.firstStep(QStringLiteral("alice"), kPassword);
        for (int n = 0; n < 10; ++n)
            e.submit(kPassword);
        QCOMPARE(e.shown(), QStringList {QStringLiteral("Vaultry: Failed to save profile.")});
        QCOMPARE(e.messages.messages[0].icon, MessageIcon::Critical);
        QVERIFY(!e.dialog.isVisible());
        QCOMPARE(e.granted, false);
        QVERIFY(QFileInfo(e.db.DBFile()).isDir());
    }

    void unreadableDatabaseIsKept()
    {
        SignInDialog s;
        QFile damaged(s.db.DBFile());
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write(QByteArray(64, '\x5a'));
        damaged.close();
        QVERIFY(!s.db.OpenDB());
        s.dialog.RegisterNewTYMProfile();
        s.dialog.show();
        QVERIFY(s.dialog.lblKeptDatabase->isVisible());
        QVERIFY(s.dialog.lblKeptDatabase->text().contains(QStringLiteral("vy.bdb")));

        s.typist.type(s.dialog.txtUserID, QStringLiteral("alice"));
        for (int n = 0; n < 11; ++n)
            s.submit(kPassword);
        QVERIFY(s.granted);
        const QString kept = QDir::toNativeSeparators(s.db.KeptUnreadableDBFile());
        QVERIFY(!kept.isEmpty());
        QVERIFY(s.dialog.lblKeptDatabase->text().contains(kept));
        QCOMPARE(s.messages.messages.size(), 1);
        QCOMPARE(s.messages.messages.first().icon, MessageIcon::Information);
        QVERIFY(s.messages.lastText().contains(kept));
        QFile keptFile(s.db.KeptUnreadableDBFile());
        QVERIFY(keptFile.open(QIODevice::ReadOnly));
        QCOMPARE(keptFile.readAll(), QByteArray(64, '\x5a'));
    }

    void cancelLeavesEverything()
    {
        Enrolment e;
        e.firstStep(QStringLiteral("alice"), kPassword);
        e.submit(kPassword);
        e.dialog.cmdCancel->click();
        QVERIFY(!e.dialog.isVisible());
        QCOMPARE(e.granted, false);
        QCOMPARE(QDir(e.folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
    }
};

QTEST_MAIN(tst_frmTympraEnrolment)
#include "tst_frmtympra_enrolment.moc"
