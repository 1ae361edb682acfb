// The profile dialog over a store in a temporary program folder, its pictures chosen from another folder.
#include "passwordstrength.h"
#include "profiledialog.h"
#include "profilestore.h"
#include "seams.h"

#include <QtTest>
#include <QtWidgets>

#include <sys/wait.h>
#include <unistd.h>

namespace {
QByteArray read(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct Dialog
{
    QTemporaryDir folder, elsewhere;
    ProfileStore store {folder.path()};
    RecordingMessageService messages;
    ScriptedFileDialogService files;
    std::unique_ptr<ProfileDialog> d; // fresh for each use, as the main window makes it

    // Opens the dialog on a new profile (or on profile i), types the texts and answers the picture chooser.
    void confirm(const QStringList &texts, const QStringList &pictures = {}, int i = -1)
    {
        d = std::make_unique<ProfileDialog>(store, i, messages, files);
        d->show();
        const char *boxes[] = {"txtWebsiteName", "txtURL", "txtID", "txtPassword"};
        for (int k = 0; k < texts.size(); ++k)
            d->findChild<QLineEdit *>(boxes[k])->setText(texts[k]);
        for (const QString &picture : pictures) {
            files.nextPaths << picture;
            QTest::mouseClick(d->findChild<QLabel *>("lblNewThumb"), Qt::LeftButton);
        }
        d->findChild<QPushButton *>("cmdConfirm")->click();
    }
    QString picture(const QString &name, QColor colour)
    {
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(colour);
        image.save(elsewhere.filePath(name), "BMP");
        return elsewhere.filePath(name);
    }
    // The profiles as the database file holds them.
    QStringList stored() const
    {
        ProfileStore reread(folder.path());
        QStringList result;
        for (const WebsiteProfile &p : reread.open() ? reread.profiles() : QList<WebsiteProfile>())
            result << QStringList {p.name, p.url, p.loginName, p.password, p.thumbName}.join('|');
        return result;
    }
    // A folder that is not empty where the database file belongs makes every save fail.
    void block(bool on)
    {
        QFile::remove(store.walletPath());
        on ? QDir(folder.path()).mkpath("vy.bdb/keep") : QDir(store.walletPath()).removeRecursively();
    }
    QString thumb(int i) const { return store.thumbPath(store.profiles().at(i)); }
};
const QStringList kMail {"Mail", "http://mail/", "me", "pw"};
} // namespace

class tst_ProfileDialog : public QObject
{
    Q_OBJECT
private slots:
    // Texts are trimmed; of two pictures chosen the last is copied, at Confirm only; an edit without a new picture
    // keeps the one the profile has.
    void savesTrimmedWithTheLastPicture()
    {
        Dialog t;
        const QString second = t.picture("second.bmp", Qt::blue);
        t.confirm({"  Mail ", " http://mail/ ", " me", "pw  "}, {t.picture("first.bmp", Qt::red), second});
        QCOMPARE(t.messages.lastText(), "Database updated successfully.");
        QCOMPARE(t.stored(), QStringList {"Mail|http://mail/|me|pw|second.bmp"});
        QCOMPARE(read(t.thumb(0)), read(second));
        QVERIFY(!QFile::exists(t.store.thumbsFolder() + "first.bmp"));
        t.confirm({"Post"}, {}, 0);
        QCOMPARE(t.stored(), QStringList {"Post|http://mail/|me|pw|second.bmp"});
    }

    // Blank required fields and text that code page 1252 cannot hold are refused, the dialog left open.
    void refusedInput_data()
    {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QString>("message");
        QTest::newRow("blank name") << QStringList {"  ", "http://a/", "me", "pw"} << "required fields";
        QTest::newRow("outside code page 1252")
            << QStringList {"Caf\u00e9 \u20ac", "http://a/\u0141", "me", "pw"} << "\"The URL\"";
    }
    void refusedInput()
    {
        QFETCH(QStringList, texts);
        QFETCH(QString, message);
        Dialog t;
        t.confirm(texts);
        QVERIFY2(t.messages.lastText().contains(message), qPrintable(t.messages.lastText()));
        QVERIFY(t.d->isVisible() && !QFile::exists(t.store.walletPath()));
    }

    // A failed save says why and leaves store and pictures as they were: trying again adds the profile once.
    void failedSaveChangesNothing()
    {
        Dialog t;
        t.block(true);
        t.confirm(kMail, {t.picture("pic.bmp", Qt::green)});
        QCOMPARE(t.messages.lastText().section(" cannot be written: ", 0, 0),
                 "Failed to update database.\r\nPlease try again.\r\n" + t.store.walletPath());
        QVERIFY(t.store.profiles().isEmpty() && !QFile::exists(t.store.thumbsFolder() + "pic.bmp"));
        t.block(false);
        t.d->findChild<QPushButton *>("cmdConfirm")->click();
        QCOMPARE(t.stored(), QStringList {"Mail|http://mail/|me|pw|pic.bmp"});

        const QByteArray old = read(t.thumb(0));
        const QList<WebsiteProfile> before = t.store.profiles();
        t.block(true);
        t.confirm({"Other", "http://other/", "you", "new"}, {t.picture("pic.bmp", Qt::red)}, 0);
        QCOMPARE(t.store.profiles(), before);
        QCOMPARE(read(t.thumb(0)), old);
    }

    // Only an existing file counts as a choice, copied as it is even when it shows no picture; a copy that fails is
    // reported and the profile still saved.
    void pictureChooserAnswers_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("noThumbs"); // a file where the thumbnails' folder belongs
        QTest::newRow("cancel") << QString() << QString() << false;
        QTest::newRow("missing file") << QString("/nonexistent/pic.bmp") << QString() << false;
        QTest::newRow("folder") << QDir::tempPath() << QString() << false;
        QTest::newRow("no picture") << QString("notes.gif") << QString("notes.gif") << false;
        QTest::newRow("copy fails") << QString("notes.gif") << QString("notes.gif") << true;
    }
    void pictureChooserAnswers()
    {
        QFETCH(QString, answer);
        QFETCH(QString, stored);
        QFETCH(bool, noThumbs);
        Dialog t;
        for (const QString &path : {stored.isEmpty() ? "" : answer = t.elsewhere.filePath(answer),
                                                            noThumbs ? t.folder.filePath("thumbs") : ""}) {
            QFile file(path);
            QVERIFY(path.isEmpty() || (file.open(QIODevice::WriteOnly) && file.write("text") == 4));
        }
        t.confirm(kMail, {answer});
        QVERIFY(t.d->findChild<QLabel *>("imgThumb")->pixmap().isNull());
        QCOMPARE(t.stored(), QStringList {"Mail|http://mail/|me|pw|" + stored});
        QCOMPARE(t.messages.messages.size(), noThumbs ? 2 : 1); // "Failed to save thumbnail." and why, first
        QVERIFY(!noThumbs || t.messages.messages.first().text.startsWith("Failed to save thumbnail.\r\nThe folder "));
        QCOMPARE(read(t.store.thumbsFolder() + stored), QByteArray(stored.isEmpty() || noThumbs ? "" : "text"));
    }

    // Generate fills the box with 20 characters, or as many as the box takes, drawn from letters, digits and every
    // printable ASCII symbol; the meter follows every change of the box, typed or generated, in zxcvbn's five steps
    // (typed passwords just below or above their bounds of 10^3, 10^6, 10^8 and 10^10 guesses).
    void generatorAndMeter_data()
    {
        QTest::addColumn<int>("limit"); // of the box
        QTest::addColumn<QString>("typed"); // rather than generated
        QTest::addColumn<int>("score");
        QTest::addColumn<QString>("rating");
        QTest::newRow("as designed") << 256 << "" << 4 << "Very unguessable";
        QTest::newRow("a short box") << 8 << "" << -1 << "as rated"; // eight random characters may rate 3 or 4
        QTest::newRow("empty") << 256 << "x\b" << 0 << "";
        QTest::newRow("10^2.99") << 256 << "house1" << 0 << "Too guessable";
        QTest::newRow("10^4.84") << 256 << "sEcret7" << 1 << "Very guessable";
        QTest::newRow("10^6.07") << 256 << "correcthorse" << 2 << "Somewhat guessable";
        QTest::newRow("10^9.88") << 256 << "purple-monkey-88" << 3 << "Safely unguessable";
        QTest::newRow("10^10.25") << 256 << "zebra7Quilt" << 4 << "Very unguessable";
    }
    void generatorAndMeter()
    {
        QFETCH(int, limit);
        QFETCH(QString, typed);
        QFETCH(int, score);
        QFETCH(QString, rating);
        Dialog g;
        ProfileDialog d(g.store, -1, g.messages, g.files);
        auto *box = d.findChild<QLineEdit *>("txtPassword");
        box->setMaxLength(limit);
        QString drawn;
        for (int k = 0; k < 200 && typed.isEmpty(); ++k)
            (d.findChild<QPushButton *>("cmdGeneratePassword")->click(), drawn += box->text());
        QCOMPARE(drawn.size(), typed.isEmpty() ? 200 * qMin(limit, 20) : 0);
        std::sort(drawn.begin(), drawn.end());
        drawn.erase(std::unique(drawn.begin(), drawn.end()), drawn.end());
        QVERIFY(!typed.isEmpty() || (drawn.size() == 94 && drawn.contains(QRegularExpression("^[!-~]+$"))));
        QTest::keyClicks(box, typed);
        if (score < 0)
            score = PasswordStrength::of(box->text()).score, rating = PasswordStrength::of(box->text()).words;
        const auto *meter = d.findChild<QProgressBar *>("pgrStrength");
        QCOMPARE(d.findChild<QLabel *>("lblStrength")->text(), rating);
        QVERIFY(meter->value() == score && meter->accessibleDescription() == rating);
    }

    // Each password is drawn afresh from the system's random source: two processes with the same memory (a fork)
    // still draw different ones, where a generator seeded once inside the program would draw the same.
    void generatorDrawsFromTheSystem()
    {
        Dialog g;
        ProfileDialog d(g.store, -1, g.messages, g.files);
        int pipeEnds[2];
        QVERIFY(::pipe(pipeEnds) == 0);
        const auto draw = [&] {
            d.findChild<QPushButton *>("cmdGeneratePassword")->click();
            return d.findChild<QLineEdit *>("txtPassword")->text().toLatin1();
        };
        const pid_t child = ::fork();
        if (child == 0) {
            ::alarm(10); // never left hanging
            const QByteArray password = draw();
            ::_exit(::write(pipeEnds[1], password.constData(), password.size()) == password.size() ? 0 : 1);
        }
        ::close(pipeEnds[1]);
        const QByteArray mine = draw();
        char theirs[64] = {};
        const ssize_t got = ::read(pipeEnds[0], theirs, sizeof theirs);
        int status = 0;
        QVERIFY(child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) && !WEXITSTATUS(status));
        QVERIFY(got == 20 && mine.size() == 20 && mine != QByteArray(theirs, int(got)));
    }
};

QTEST_MAIN(tst_ProfileDialog)
#include "tst_profiledialog.moc"
