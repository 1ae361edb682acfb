#include "dialogtesting.h"

#include <QLibrary>

namespace {

const QString kUser = QStringLiteral("alice");
const QString kPassword = QStringLiteral("Secret7");

QString fakeEngine(const QString &variant)
{
    return QStringLiteral(FAKE_ENGINE_ROOT "/%1/Tymcore").arg(variant);
}

// Stored samples: the first `alike` typed like Typist's steady rhythm, the others much slower.
// The fake engines hand training rows 0..5 back as reference rows, so `alike` rows score 1, the rest miss.
QString trainData(int alike)
{
    QString text;
    for (int j = 0; j < 10; ++j)
        text += j < alike ? steadySample(7) : steadySample(7, 900, 600);
    return text;
}

// A login dialog over a store that holds an enrolled user.
struct Login : SignInDialog
{
    explicit Login(const QString &engine = QStringLiteral("copy"), int alike = 3) : SignInDialog(fakeEngine(engine))
    {
        db.TYMUserID = kUser;
        db.TYMMasterPassword = kPassword;
        // As read back from the file: padded with blanks.
        db.TYMTrainData = trainData(alike).leftJustified(2948, QLatin1Char(' '));
        dialog.LogInTYMProfile();
        dialog.show();
    }
    void attempt(const QString &user, const QString &password)
    {
        dialog.txtUserID->setText(user);
        submit(password);
    }
};

// How often the fake engine's registration ran; holding the library keeps its counter alive.
int registerCalls(QLibrary &library)
{
    auto calls = reinterpret_cast<qint32 (*)()>(library.resolve("fakeRegisterCalls"));
    return calls ? calls() : 0;
}

} // namespace

class tst_frmTympraLogin : public QObject
{
    Q_OBJECT

private slots:
    void refusals_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("message");

        const auto row = [](const char *name, const QString &user, const QString &password, const char *message) {
            QTest::newRow(name) << user << password << QString::fromLatin1(message);
        };
        row("empty user name", "", kPassword, "Check your input.");
        row("empty user name before a wrong password", "", "Wrong12", "Check your input.");
        row("empty password", kUser, "", "Check your input.");
        row("other user name", "bob", kPassword, "Check your Username.");
        row("user name in other case", "Alice", kPassword, "Check your Username.");
        row("user name checked before password", "bob", "Wrong12", "Check your Username.");
        row("other password", kUser, "Secret8", "Check your Master Password.");
        row("password in other case", kUser, "sECRET7", "Check your Master Password.");
    }

    void refusals()
    {
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, message);
        QLibrary engine(fakeEngine(QStringLiteral("copy")));
        QVERIFY(engine.load());
        const int registeredBefore = registerCalls(engine);
        Login login;
        login.attempt(user, password);
        QCOMPARE(login.shown(), QStringList {QStringLiteral("Login: ") + message});
        QCOMPARE(login.messages.messages[0].icon, MessageIcon::Warning);
        QCOMPARE(login.dialog.txtMasterPassword->text(), QString());
        QCOMPARE(login.dialog.txtUserID->text(), user);
        QCOMPARE(login.dialog.focusWidget(), static_cast<QWidget *>(login.dialog.txtMasterPassword));
        QVERIFY(login.dialog.isVisible());
        QCOMPARE(login.granted, false);
        QCOMPARE(registerCalls(engine), registeredBefore); // the engine was never reached
        // Unlimited attempts: the next right one passes.
        login.attempt(kUser, kPassword);
        QVERIFY(login.granted);
        QVERIFY(!login.dialog.isVisible());
    }

    // The fake engines hand training rows back as reference rows; the broken ones end the attempt silently.
    void engineDecides_data()
    {
        QTest::addColumn<QString>("variant");
        QTest::addColumn<int>("alike");
        QTest::addColumn<QString>("outcome"); // "granted", "refused" or "silent"
        const auto row = [](const char *name, const char *variant, int alike, const char *outcome) {
            QTest::newRow(name) << QString(variant) << alike << QString(outcome);
        };
        row("five of five", "copy", 5, "granted");
        row("three of five", "copy", 3, "granted");
        row("two of five", "copy", 2, "refused");
        row("none", "copy", 0, "refused");
        row("engine missing", "absent", 5, "silent");
        row("engine without its method", "nomethod", 5, "silent");
        row("engine call fails", "fails", 5, "silent");
        row("engine leaves a zero row", "zerorow", 5, "silent");
    }

    void engineDecides()
    {
        QFETCH(QString, variant);
        QFETCH(int, alike);
        QFETCH(QString, outcome);
        QLibrary engine(fakeEngine(variant));
        const bool present = engine.load();
        QCOMPARE(present, variant != QLatin1String("absent"));
        const int registeredBefore = registerCalls(engine);
        Login login(variant, alike);
        login.attempt(kUser, kPassword);
        QCOMPARE(login.granted, outcome == QLatin1String("granted"));
        QCOMPARE(login.dialog.isVisible(), !login.granted);
        QCOMPARE(registerCalls(engine), registeredBefore + (present ? 1 : 0));
        if (outcome == QLatin1String("refused")) {
            QCOMPARE(login.shown(), QStringList {QStringLiteral("Vaultry: Failed to log in.")});
            QCOMPARE(login.dialog.txtMasterPassword->text(), QString());
            QCOMPARE(login.dialog.txtUserID->text(), kUser);
            return;
        }
        QVERIFY(login.messages.messages.isEmpty());
        if (outcome == QLatin1String("silent")) {
            QCOMPARE(login.dialog.txtMasterPassword->text(), kPassword); // box and capture stay
            // Next again gives the same attempt, not "in one shot".
            login.dialog.cmdNext->click();
            QVERIFY(login.messages.messages.isEmpty());
            QCOMPARE(registerCalls(engine), registeredBefore + (present ? 2 : 0));
        }
    }

    void oneShot_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("passes");
        // A correction resets both counts, so the full typing that follows is one shot.
        QTest::newRow("corrected with Delete, then typed whole") << "delete" << true;
        // The text ends up right, but more keys went down than it has characters.
        QTest::newRow("wrong key overtyped") << "overtype" << false;
        QTest::newRow("key held until it repeats, then overtyped") << "repeat" << false;
    }

    void oneShot()
    {
        QFETCH(QString, how);
        QFETCH(bool, passes);
        Login login;
        login.dialog.txtUserID->setText(kUser);
        QWidget *box = login.dialog.txtMasterPassword;
        if (how == "delete") {
            login.typist.type(box, QStringLiteral("Secr"));
            login.typist.press(box, Qt::Key_Delete);
            QCOMPARE(login.dialog.txtMasterPassword->text(), QString());
            login.typist.type(box, kPassword);
        } else {
            if (how == "repeat") {
                login.typist.type(box, QStringLiteral("Secre"));
                QTest::keyPress(box, 't');
                login.typist.autoRepeat(box, Qt::Key_T, QStringLiteral("t"));
                QTest::keyRelease(box, 't');
                QCOMPARE(login.dialog.txtMasterPassword->text(), QStringLiteral("Secrett"));
            } else {
                login.typist.type(box, QStringLiteral("Secret8"));
            }
            QTest::keyClick(box, Qt::Key_Left, Qt::ShiftModifier);
            login.typist.type(box, QStringLiteral("7"));
        }
        QCOMPARE(login.dialog.txtMasterPassword->text(), kPassword);
        login.dialog.cmdNext->click();
        QCOMPARE(login.granted, passes);
        if (passes) {
            QVERIFY(login.messages.messages.isEmpty());
        } else {
            QCOMPARE(login.shown(),
                     QStringList {QStringLiteral("Login: Please key in your Master Password in one shot.")});
            QCOMPARE(login.dialog.txtMasterPassword->text(), QString());
        }
    }

    void damagedTrainingText()
    {
        Login login;
        login.db.TYMTrainData = QStringLiteral("0.1 zz 0.3 % ") + login.db.TYMTrainData;
        login.attempt(kUser, kPassword);
        QVERIFY(login.messages.messages.isEmpty());
        QCOMPARE(login.granted, false);
        QVERIFY(login.dialog.isVisible());
    }
};

QTEST_MAIN(tst_frmTympraLogin)
#include "tst_frmtympra_login.moc"
