// vy.ini's automatic sign-in switch and the copies of thumbnail pictures.
#include "clsagentdb.h"
#include "storetestsupport.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using namespace storetest;

class SettingsAndThumbsTest : public QObject
{
    Q_OBJECT

private slots:
    void missingFileReadsOffAndWritingCreatesIt()
    {
        QTemporaryDir dir;
        clsAgentDB db(dir.path());
        QCOMPARE(db.INIAutoSignIn(), "0");
        QVERIFY(!QFileInfo::exists(db.INIFile()));
        db.setINIAutoSignIn("1");
        const QString text = QString::fromUtf8(readFile(db.INIFile()));
        QVERIFY2(text.contains("[Vaultry]"), qPrintable(text));
        QVERIFY2(text.contains(QRegularExpression("(^|\\n)AutoSignIn=1\\r?\\n")), qPrintable(text));
        QCOMPARE(db.INIAutoSignIn(), "1");
        db.setINIAutoSignIn("0");
        QCOMPARE(db.INIAutoSignIn(), "0");
        QVERIFY(!QFileInfo::exists(db.DBFile()));
    }

    void onlyExactlyOneIsOn_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("expected");
        QTest::newRow("1") << QByteArray("[Vaultry]\nAutoSignIn=1\n") << "1";
        QTest::newRow("1 with CR LF") << QByteArray("[Vaultry]\r\nAutoSignIn=1\r\n") << "1";
        QTest::newRow("0") << QByteArray("[Vaultry]\nAutoSignIn=0\n") << "0";
        QTest::newRow("01") << QByteArray("[Vaultry]\nAutoSignIn=01\n") << "0";
        QTest::newRow("10") << QByteArray("[Vaultry]\nAutoSignIn=10\n") << "0";
        QTest::newRow("2") << QByteArray("[Vaultry]\nAutoSignIn=2\n") << "0";
        QTest::newRow("yes") << QByteArray("[Vaultry]\nAutoSignIn=yes\n") << "0";
        QTest::newRow("true") << QByteArray("[Vaultry]\nAutoSignIn=true\n") << "0";
        QTest::newRow("list") << QByteArray("[Vaultry]\nAutoSignIn=1, 1\n") << "0";
        QTest::newRow("empty value") << QByteArray("[Vaultry]\nAutoSignIn=\n") << "0";
        QTest::newRow("other section") << QByteArray("[Other]\nAutoSignIn=1\n") << "0";
        QTest::newRow("other key") << QByteArray("[Vaultry]\nAutoSignOn=1\n") << "0";
        QTest::newRow("empty file") << QByteArray() << "0";
    }
    void onlyExactlyOneIsOn()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        clsAgentDB db(dir.path());
        QVERIFY(writeFile(db.INIFile(), content));
        QCOMPARE(db.INIAutoSignIn(), expected);
    }

    void writingKeepsOtherEntries()
    {
        QTemporaryDir dir;
        clsAgentDB db(dir.path());
        QVERIFY(writeFile(db.INIFile(), "[Other]\nkey=value\n[Vaultry]\nAutoSignIn=0\n"));
        db.setINIAutoSignIn("1");
        QCOMPARE(db.INIAutoSignIn(), "1");
        QVERIFY(readFile(db.INIFile()).contains("key=value"));
    }

    void saveThumbCopies_data()
    {
        QTest::addColumn<bool>("folderExists");
        QTest::addColumn<QByteArray>("existing");
        QTest::addColumn<QByteArray>("picture");
        QTest::newRow("folder created") << false << QByteArray() << QByteArray("GIF89a picture");
        QTest::newRow("over a longer file") << true << QByteArray(5000, 'o') << QByteArray("BM short");
        QTest::newRow("empty picture") << true << QByteArray() << QByteArray();
        QTest::newRow("binary") << true << QByteArray() << allBytes().repeated(100);
    }
    void saveThumbCopies()
    {
        QFETCH(bool, folderExists);
        QFETCH(QByteArray, existing);
        QFETCH(QByteArray, picture);
        QTemporaryDir dir;
        QTemporaryDir pictures;
        clsAgentDB db(dir.path());
        db.AddWebsiteProfile(false, "n", "", "", "", "");
        db.AddWebsiteProfile(false, "m", "", "", "", "logo.png");
        if (folderExists)
            QVERIFY(QDir().mkpath(db.ThumbsFolder()));
        if (!existing.isEmpty())
            QVERIFY(writeFile(db.ThumbsFolder() + "logo.png", existing));
        const QString source = pictures.filePath("logo.png");
        QVERIFY(writeFile(source, picture));

        QVERIFY(db.SaveThumb(1, source));
        QCOMPARE(readFile(db.WPThumbName(1)), picture);
        QCOMPARE(readFile(source), picture);
    }

    void saveThumbOfPictureAlreadyThere()
    {
        QTemporaryDir dir;
        clsAgentDB db(dir.path());
        db.AddWebsiteProfile(false, "n", "", "", "", "same.jpg");
        QVERIFY(QDir().mkpath(db.ThumbsFolder()));
        QVERIFY(writeFile(db.WPThumbName(0), "JFIF data"));
        QVERIFY(db.SaveThumb(0, db.WPThumbName(0)));
        QCOMPARE(readFile(db.WPThumbName(0)), QByteArray("JFIF data"));
    }

    void saveThumbFails_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("missing source") << "missing";
        QTest::newRow("source is a folder") << "folder";
        QTest::newRow("file named thumbs") << "thumbsfile";
        QTest::newRow("destination is a folder") << "destfolder";
        QTest::newRow("no thumbnail name") << "noname";
        QTest::newRow("name with a folder") << "pathname";
        QTest::newRow("disk full") << "diskfull";
    }
    void saveThumbFails()
    {
        QFETCH(QString, fault);
        QTemporaryDir dir;
        QTemporaryDir pictures;
        clsAgentDB db(dir.path());
        db.AddWebsiteProfile(false, "n", "", "", "", fault == "noname" ? "" : "pic.png");
        QString source = pictures.filePath("pic.png");
        QVERIFY(writeFile(source, "picture"));
        if (fault == "missing")
            source = pictures.filePath("nothing.png");
        else if (fault == "folder")
            source = pictures.path();
        else if (fault == "thumbsfile")
            QVERIFY(writeFile(dir.filePath("thumbs"), "not a folder"));
        else if (fault == "destfolder")
            QVERIFY(QDir().mkpath(db.ThumbsFolder() + "pic.png/inner"));
        else if (fault == "pathname")
            db.setWPThumbName(0, "../vy.bdb");
        else if (fault == "diskfull")
            QVERIFY(writeFile(source, QByteArray(10000, 'p')));
        {
            std::optional<FileSizeLimit> diskFull;
            if (fault == "diskfull")
                QVERIFY(diskFull.emplace(4096).active());
            QVERIFY(!db.SaveThumb(0, source));
        }
        QVERIFY(!QFileInfo(db.ThumbsFolder() + "pic.png").isFile());
        QVERIFY(!QFileInfo::exists(db.DBFile()));
        if (fault == "thumbsfile")
            QCOMPARE(readFile(dir.filePath("thumbs")), QByteArray("not a folder"));
        if (fault == "destfolder")
            QVERIFY(QFileInfo(db.ThumbsFolder() + "pic.png/inner").isDir());
    }
};

QTEST_GUILESS_MAIN(SettingsAndThumbsTest)
#include "tst_settingsandthumbs.moc"
