// The sign-in dialog over a store in a fresh program folder, enrolling and logging in by typing.
#include "keyclock.h"
#include "profilestore.h"
#include "seams.h"
#include "signindialog.h"

#include <QtTest>
#include <QtWidgets>

const QString kUser = "alice", kPassword = "Secret7";

// The stored sample of a typing of seven keys, each going down 150 ms after the one before and held 80 ms: the
// rhythm SignIn types with.
QByteArray read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QString kSample = QString("0.15 ").repeated(6) + QString("0.08 ").repeated(7) + "% ";

struct SignIn : KeyClock
{
    // Opens the dialog in the mode the wallet decides, unless given, and shows it.
    void start(const QString &engine = "", std::optional<SignInDialog::Mode> mode = {})
    {
        if (!mode)
            mode = store.open() ? SignInDialog::Mode::Login : SignInDialog::Mode::Enrolment;
        dialog.emplace(*mode, store, messages, engine, *this);
        QObject::connect(&*dialog, &QDialog::finished, [this](int result) { granted = result == QDialog::Accepted; });
        dialog->show();
    }
    template<typename T = QLineEdit>
    T *child(const char *name) const
    {
        return dialog->findChild<T *>(name);
    }
    quint32 keyTime(const QKeyEvent &e) const override { return e.type() == QEvent::KeyPress ? now += 150 : now + 80; }

    // Types into the password box and presses Next. '#' is Backspace, '<' selects the character before the cursor,
    // '*' is t repeated by the keyboard.
    void next(const QString &keys)
    {
        for (const QChar c : keys) {
            const int key = QHash<QChar, int> {{'#', Qt::Key_Backspace}, {'<', Qt::Key_Left}, {'*', Qt::Key_T}}.value(
                c, c.toUpper().unicode());
            for (const auto type : {QEvent::KeyPress, QEvent::KeyRelease}) {
                QKeyEvent event(type, key, c == '<' ? Qt::ShiftModifier : Qt::NoModifier, c, c == '*');
                QApplication::sendEvent(child("txtMasterPassword"), &event);
            }
        }
        child<QPushButton>("cmdNext")->click();
    }

    mutable quint32 now = 0;
    QTemporaryDir folder;
    ProfileStore store {folder.path()};
    RecordingMessageService messages;
    bool granted = false;
    std::optional<SignInDialog> dialog;
};

class tst_SignInDialog : public QObject
{
    Q_OBJECT

private slots:
    void enrolment_data()
    {
        QTest::addColumn<QString>("found"); // what lies where the database goes; or "cancel": the user cancels
        QTest::newRow("nothing") << "";
        QTest::newRow("an unreadable file") << "damaged";
        QTest::newRow("a folder: no saving") << "folder";
        QTest::newRow("cancelled") << "cancel";
    }

    void enrolment()
    {
        QFETCH(QString, found);
        SignIn s;
        QFile file(s.store.walletPath());
        QVERIFY(found != "folder" || QDir().mkdir(file.fileName()));
        QVERIFY(found != "damaged" || (file.open(QIODevice::WriteOnly) && file.write("damaged") && file.flush()));
        s.start();
        QCOMPARE(s.dialog->windowTitle(), "Vaultry Registration - powered by Tympra");
        s.child("txtUserID")->setText(kUser);
        for (int n = 0; n < 10; ++n) // the first step, then nine typings
            s.next(kPassword);
        QCOMPARE(s.child("txtCount")->text(), "9");
        s.next("Secret77#"); // refused and not counted: a correction, and another text
        s.next("Secret8");
        found == "cancel" ? s.child<QPushButton>("cmdCancel")->click() : s.next(kPassword);
        QCOMPARE(s.granted, found.isEmpty() || found == "damaged");
        QCOMPARE(s.messages.messages.size(), found == "damaged" || found == "folder" ? 3 : 2); // named, or told
        QFile kept(s.store.keptUnreadableWallet());
        QCOMPARE(kept.open(QIODevice::ReadOnly) && kept.readAll() == "damaged", found == "damaged");
        QVERIFY(s.messages.lastText().contains(QDir::toNativeSeparators(kept.fileName())));
        // A save that fails says why, below the described message.
        QVERIFY(found != "folder" || s.messages.lastText().startsWith("Failed to save profile.\r\n" + file.fileName()));
        ProfileStore stored(s.folder.path());
        QVERIFY(!s.dialog->isVisible() && stored.open() == s.granted);
        const Enrolment enrolled {kUser, kPassword, kSample.repeated(10).leftJustified(2948)};
        QCOMPARE(stored.enrolment(), s.granted ? enrolled : Enrolment());
        QCOMPARE(QDir(s.folder.path()).isEmpty(), found == "cancel");
    }

    void attempt_data()
    {
        // Fake engine (- for the first step of an enrolment) | stored samples | user name | keys typed | outcome:
        // granted, taken (on to the typings), silent, or a word of the refusal. Samples, a letter each: S of this
        // typing's rhythm, 0 missing, or S with its first number changed: 9 to 90 s, - negative (the fake fails
        // on it), z damaged. The fake hands samples 0..5 back as reference rows.
        QTest::addColumn<QString>("row");
        QTest::newRow("user name of 2") << "-||ab|Secret7|Username";
        QTest::newRow("user name of 3") << "-||abc|Secret7|taken";
        QTest::newRow("password of 5") << "-||alice|Secr7|Master Password";
        QTest::newRow("password of 6") << "-||alice|Secre7|taken";
        QTest::newRow("password not in 1252") << "-||alice|пароль12|Master Password";
        QTest::newRow("3 of 5, corrected") << "copy|SSS9999999|alice|Secr#Secret7|granted";
        QTest::newRow("2 of 5") << "copy|SS99999999|alice|Secret7|log in";
        QTest::newRow("user name, other case") << "copy|SSSSSSSSSS|Alice|Secret7|Username";
        QTest::newRow("password, other case") << "copy|SSSSSSSSSS|alice|secret7|Master Password";
        QTest::newRow("a key repeated") << "copy|SSSSSSSSSS|alice|Secret*<7|one shot";
        QTest::newRow("engine missing") << "absent|SSSSSSSSSS|alice|Secret7|loaded";
        QTest::newRow("method missing") << "nomethod|SSSSSSSSSS|alice|Secret7|loaded";
        QTest::newRow("engine fails") << "copy|-SSSSSSSSS|alice|Secret7|silent";
        QTest::newRow("a scored row zero") << "copy|SS0SSSSSSS|alice|Secret7|silent";
        QTest::newRow("damaged text") << "copy|zSSSSSSSSS|alice|Secret7|silent";
        // A sealed wallet: opened by the typed password, refused (the file as it was) by any other.
        QTest::newRow("sealed") << "copy sealed|SSS9999999|alice|Secret7|granted";
        QTest::newRow("sealed, wrong password") << "copy sealed|SSSSSSSSSS|alice|Secret8|Master Password";
    }

    void attempt()
    {
        QFETCH(QString, row);
        const QStringList f = row.split('|'); // engine, stored, user, keys, outcome
        const QString engine = f[0].section(' ', 0, 0), &outcome = f[4];
        SignIn s;
        QString samples;
        for (const QChar c : f[1])
            samples += c == '0' ? "% " : QString(c).remove('S') + kSample;
        QVERIFY(engine == "-" || s.store.setEnrolment({kUser, kPassword, samples}));
        QVERIFY(s.store.setSealed(f[0].endsWith("sealed")));
        const QByteArray before = read(s.store.walletPath());
        s.start(QCoreApplication::applicationDirPath() + "/fakeengines/" + engine + "/Tymcore");
        s.child("txtUserID")->setText(f[2]);
        s.next(f[3]);
        const bool refused = !QStringList {"granted", "taken", "silent"}.contains(outcome);
        QCOMPARE(s.granted, outcome == "granted");
        QCOMPARE(s.dialog->isVisible(), !s.granted);
        QCOMPARE(s.messages.messages.size(), int(refused));
        QVERIFY(s.messages.lastText().contains(refused ? outcome : ""));
        QVERIFY(outcome != "loaded" || s.messages.lastText().section("\r\n", 1).contains("Tymcore")); // the reason
        // A refused login empties the box for the next typing; a refused first step or an ended attempt leaves it.
        QCOMPARE(s.child("txtMasterPassword")->text().isEmpty(),
                 outcome == "taken" || (refused && engine != "-" && outcome != "loaded"));
        QCOMPARE(read(s.store.walletPath()) == before, !s.granted);
        ProfileStore stored(s.folder.path()); // a granted login's typing takes the place of the oldest sample
        QVERIFY(stored.open() == (engine != "-") && stored.isLocked() == f[0].endsWith("sealed"));
        QCOMPARE(stored.unlock(kPassword) || !stored.isLocked() ? stored.enrolment().trainingText.trimmed() : "",
                 s.granted ? (kSample.repeated(2) + ("9" + kSample).repeated(7) + kSample).trimmed()
                           : samples.trimmed());
    }

    // A new master password: the user's name stays, ten typings, one save that seals anew and keeps the profiles;
    // cancelled before the tenth typing, nothing changes.
    void newMasterPassword_data()
    {
        QTest::addColumn<bool>("cancel");
        QTest::newRow("saved") << false;
        QTest::newRow("cancelled") << true;
    }
    void newMasterPassword()
    {
        QFETCH(bool, cancel);
        SignIn s;
        const WebsiteProfile profile {"Bank", "https://bank.example/", "alice", "pw", "", false};
        QVERIFY(s.store.setEnrolment({kUser, "Oldpass1", kSample}) && s.store.add(profile) && s.store.setSealed(true));
        const QByteArray before = read(s.store.walletPath());
        s.start("", SignInDialog::Mode::NewPassword);
        QVERIFY(s.child("txtUserID")->text() == kUser && s.child("txtUserID")->isReadOnly());
        for (int n = 0; n < 10; ++n) // the first step, then nine typings
            s.next(kPassword);
        cancel ? s.child<QPushButton>("cmdCancel")->click() : s.next(kPassword);
        QVERIFY(s.granted != cancel && (read(s.store.walletPath()) == before) == cancel);
        ProfileStore stored(s.folder.path());
        QVERIFY(stored.open() && stored.unlock(cancel ? "Oldpass1" : kPassword) &&
                stored.profiles() == QList {profile});
        QCOMPARE(stored.enrolment().trainingText.trimmed(), (cancel ? kSample : kSample.repeated(10)).trimmed());
    }
};

QTEST_MAIN(tst_SignInDialog)
#include "tst_signindialog.moc"
