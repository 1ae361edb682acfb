// The profile dialog over a store in a temporary program folder, its pictures chosen from another folder.
#include "clsagentdb.h"
#include "frmwebsiteprofile.h"
#include "passwordgenerator.h"
#include "seams.h"

#include <QtTest>
#include <QtWidgets>

namespace {
QByteArray read(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct Dialog
{
    QTemporaryDir folder, elsewhere;
    clsAgentDB db {folder.path()};
    RecordingMessageService messages;
    ScriptedFileDialogService files;
    std::unique_ptr<frmWebsiteProfile> d; // fresh for each use, as the main window makes it

    // Opens the dialog on a new profile (or on profile i), types the texts and answers the picture chooser.
    void confirm(const QStringList &texts, const QStringList &pictures = {}, int i = -1)
    {
        d = std::make_unique<frmWebsiteProfile>(db, messages, files);
        i < 0 ? d->NewWP() : d->EditWP(i);
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
        clsAgentDB reread(folder.path());
        QStringList result;
        for (const WebsiteProfile &p : reread.OpenDB() ? reread.Profiles() : QList<WebsiteProfile>())
            result << QStringList {p.Name, p.URL, p.ID, p.Password, p.ThumbName}.join('|');
        return result;
    }
    // A folder that is not empty where the database file belongs makes every save fail.
    void block(bool on)
    {
        QFile::remove(db.DBFile());
        on ? QDir(folder.path()).mkpath("vy.bdb/keep") : QDir(db.DBFile()).removeRecursively();
    }
};
const QStringList kMail {"Mail", "http://mail/", "me", "pw"};
} // namespace

class tst_WebsiteProfile : public QObject
{
    Q_OBJECT
private slots:
    // Texts are trimmed; of two pictures chosen the last is copied, at Confirm only.
    void savesTrimmedWithTheLastPicture()
    {
        Dialog t;
        const QString second = t.picture("second.bmp", Qt::blue);
        t.confirm({"  Mail ", " http://mail/ ", " me", "pw  "}, {t.picture("first.bmp", Qt::red), second});
        QCOMPARE(t.messages.lastText(), "Database updated successfully.");
        QCOMPARE(t.stored(), QStringList {"Mail|http://mail/|me|pw|second.bmp"});
        QCOMPARE(read(t.db.WPThumbName(0)), read(second));
        QVERIFY(!QFile::exists(t.db.ThumbsFolder() + "first.bmp"));
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
        QVERIFY(t.d->isVisible() && !QFile::exists(t.db.DBFile()));
    }

    // A failed save puts store and pictures back as they were: trying again adds the profile once.
    void failedSaveRestoresTheStore()
    {
        Dialog t;
        t.block(true);
        t.confirm(kMail, {t.picture("pic.bmp", Qt::green)});
        QCOMPARE(t.messages.lastText(), "Failed to update database.\r\nPlease try again.");
        QVERIFY(t.db.WebsiteProfileCount() == 0 && !QFile::exists(t.db.ThumbsFolder() + "pic.bmp"));
        t.block(false);
        t.d->findChild<QPushButton *>("cmdConfirm")->click();
        QCOMPARE(t.stored(), QStringList {"Mail|http://mail/|me|pw|pic.bmp"});

        const QByteArray old = read(t.db.WPThumbName(0));
        const QList<WebsiteProfile> before = t.db.Profiles();
        t.block(true);
        t.confirm({"Other", "http://other/", "you", "new"}, {t.picture("pic.bmp", Qt::red)}, 0);
        QCOMPARE(t.db.Profiles(), before);
        QCOMPARE(read(t.db.WPThumbName(0)), old);
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
        QCOMPARE(t.messages.messages.size(), noThumbs ? 2 : 1); // "Failed to save thumbnail." first
        QCOMPARE(read(t.db.ThumbsFolder() + stored), QByteArray(stored.isEmpty() || noThumbs ? "" : "text"));
    }

    // Generate fills the box with 20 characters, or as many as the box takes, drawn from letters, digits and every
    // printable ASCII symbol; the meter follows every change of the box, typed or generated.
    void generatorAndMeter_data()
    {
        QTest::addColumn<int>("limit"); // of the box; 0: typed, not generated
        QTest::addColumn<QString>("rating");
        QTest::newRow("as designed") << 256 << "Very unguessable";
        QTest::newRow("a short box") << 8 << "Very unguessable";
        QTest::newRow("typed") << 0 << "Too guessable";
    }
    void generatorAndMeter()
    {
        QFETCH(int, limit);
        QFETCH(QString, rating);
        QString drawn;
        for (int k = 0; k < 200 && limit; ++k)
            drawn += PasswordGenerator::generate(limit);
        QCOMPARE(drawn.size(), 200 * qMin(limit, 20));
        std::sort(drawn.begin(), drawn.end());
        drawn.erase(std::unique(drawn.begin(), drawn.end()), drawn.end());
        QVERIFY(!limit || (drawn.size() == 94 && drawn.contains(QRegularExpression("^[!-~]+$"))));

        Dialog g;
        frmWebsiteProfile d(g.db, g.messages, g.files);
        auto *box = d.findChild<QLineEdit *>("txtPassword");
        box->setMaxLength(limit ? limit : 256);
        limit ? d.findChild<QPushButton *>("cmdGeneratePassword")->click() : QTest::keyClicks(box, "password");
        QCOMPARE(box->text().size(), limit ? qMin(limit, 20) : 8);
        QCOMPARE(d.findChild<QLabel *>("lblStrength")->text(), rating);
    }
};

QTEST_MAIN(tst_WebsiteProfile)
#include "tst_frmwebsiteprofile.moc"
