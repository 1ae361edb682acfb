// The in-memory table of website profiles and the thumbnail files that deletion removes.
#include "clsagentdb.h"
#include "storetestsupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <stdexcept>

class ProfileTableTest : public QObject
{
    Q_OBJECT

private:
    static void addThree(clsAgentDB &db)
    {
        db.AddWebsiteProfile(false, "A", "http://a/", "ida", "pwa", "a.png");
        db.AddWebsiteProfile(true, "B", "http://b/", "idb", "pwb", "b.png");
        db.AddWebsiteProfile(false, "C", "http://c/", "idc", "pwc", "");
    }

private slots:
    void folderGetsOneSeparator_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("appPath");
        for (const char *folder : {"/opt/vaultry", "/opt/vaultry/"})
            QTest::newRow(folder) << QString(folder) << QString("/opt/vaultry/");
        QTest::newRow("root") << QString("/") << QString("/");
    }
    void folderGetsOneSeparator()
    {
        QFETCH(QString, folder);
        QFETCH(QString, appPath);
        clsAgentDB db(folder);
        QCOMPARE(db.AppPath(), appPath);
        QCOMPARE(db.DBFile(), appPath + "vy.bdb");
        QCOMPARE(db.INIFile(), appPath + "vy.ini");
        QCOMPARE(db.ThumbsFolder(), appPath + "thumbs/");
    }

    void addAndDeleteKeepIndicesDense()
    {
        clsAgentDB db("/nonexistent");
        QVERIFY(db.AddWebsiteProfile(true, "N", "U", "I", "P", "t.png"));
        QVERIFY(db.DeleteWebsiteProfile(0));
        QCOMPARE(db.WebsiteProfileCount(), 0);
        db.AddWebsiteProfile(false, "M", "", "", "", "");
        QCOMPARE(db.WPName(0), "M");

        clsAgentDB three("/nonexistent");
        addThree(three);
        QVERIFY(three.DeleteWebsiteProfile(0));
        QCOMPARE(three.WebsiteProfileCount(), 2);
        QCOMPARE(three.Profiles().at(0), (WebsiteProfile {"B", "http://b/", "idb", "pwb", "b.png", true}));
        QCOMPARE(three.Profiles().at(1), (WebsiteProfile {"C", "http://c/", "idc", "pwc", "", false}));
    }

    void gettersAndSetters()
    {
        clsAgentDB db("/prog");
        addThree(db);
        db.setWPName(1, "B2");
        db.setWPURL(1, "http://b2/");
        db.setWPID(1, "idb2");
        db.setWPPassword(1, "pwb2");
        db.setWPThumbName(1, "b2.gif");
        db.setWPTympra(1, false);
        QCOMPARE(db.WPName(1), "B2");
        QCOMPARE(db.WPURL(1), "http://b2/");
        QCOMPARE(db.WPID(1), "idb2");
        QCOMPARE(db.WPPassword(1), "pwb2");
        QCOMPARE(db.WPThumbName(1), "/prog/thumbs/b2.gif");
        QCOMPARE(db.Profiles().at(1).ThumbName, "b2.gif");
        QVERIFY(!db.WPTympra(1));
        QCOMPARE(db.WPThumbName(2), "/prog/thumbs/");
        QCOMPARE(db.Profiles().at(0), (WebsiteProfile {"A", "http://a/", "ida", "pwa", "a.png", false}));
    }

    void outOfRangeChangesNothing_data()
    {
        QTest::addColumn<int>("index");
        QTest::newRow("-1") << -1;
        QTest::newRow("count") << 3;
        QTest::newRow("large") << 1000000;
    }
    void outOfRangeChangesNothing()
    {
        QFETCH(int, index);
        QTemporaryDir dir;
        clsAgentDB db(dir.path());
        addThree(db);
        QDir().mkpath(db.ThumbsFolder());
        QVERIFY(storetest::writeFile(db.ThumbsFolder() + "a.png", "x"));
        const auto before = db.Profiles();

        const QList<std::function<void()>> calls = {
            [&] { db.WPName(index); },
            [&] { db.setWPName(index, "x"); },
            [&] { db.WPURL(index); },
            [&] { db.setWPURL(index, "x"); },
            [&] { db.WPID(index); },
            [&] { db.setWPID(index, "x"); },
            [&] { db.WPPassword(index); },
            [&] { db.setWPPassword(index, "x"); },
            [&] { db.WPThumbName(index); },
            [&] { db.setWPThumbName(index, "x"); },
            [&] { db.WPTympra(index); },
            [&] { db.setWPTympra(index, true); },
            [&] { db.DeleteWebsiteProfile(index); },
            [&] { db.SaveThumb(index, db.ThumbsFolder() + "a.png"); },
        };
        for (qsizetype i = 0; i < calls.size(); ++i) {
            QVERIFY_THROWS_EXCEPTION(std::out_of_range, calls[i]());
            QCOMPARE(db.Profiles(), before);
        }
        QVERIFY(QFileInfo::exists(db.ThumbsFolder() + "a.png"));
    }

    void deletionRemovesThumbnailOnlyWhenUnused()
    {
        QTemporaryDir dir;
        clsAgentDB db(dir.path());
        QDir().mkpath(db.ThumbsFolder());
        for (const char *name : {"shared.png", "own.png", "other.png"})
            QVERIFY(storetest::writeFile(db.ThumbsFolder() + name, "picture"));
        db.AddWebsiteProfile(false, "one", "", "", "", "shared.png");
        db.AddWebsiteProfile(false, "two", "", "", "", "shared.png");
        db.AddWebsiteProfile(false, "three", "", "", "", "own.png");
        db.AddWebsiteProfile(false, "none", "", "", "", "");

        QVERIFY(db.DeleteWebsiteProfile(3)); // no thumbnail: the folder and its pictures stay
        QVERIFY(QFileInfo(db.ThumbsFolder()).isDir());
        QCOMPARE(QDir(db.ThumbsFolder()).entryList(QDir::Files).size(), 3);

        QVERIFY(db.DeleteWebsiteProfile(0)); // "two" still shows the shared picture
        QVERIFY(QFileInfo::exists(db.ThumbsFolder() + "shared.png"));
        QVERIFY(db.DeleteWebsiteProfile(0)); // the last user of it
        QVERIFY(!QFileInfo::exists(db.ThumbsFolder() + "shared.png"));
        QVERIFY(db.DeleteWebsiteProfile(0));
        QVERIFY(!QFileInfo::exists(db.ThumbsFolder() + "own.png"));
        QVERIFY(QFileInfo::exists(db.ThumbsFolder() + "other.png"));

        // A picture that is already gone does not stop the deletion.
        db.AddWebsiteProfile(false, "gone", "", "", "", "missing.png");
        QVERIFY(db.DeleteWebsiteProfile(0));
        QCOMPARE(db.WebsiteProfileCount(), 0);
    }

    void deletionStaysInsideThumbsFolder_data()
    {
        QTest::addColumn<QString>("thumbName");
        QTest::newRow("parent") << "../vy.bdb";
        QTest::newRow("dotdot") << "..";
        QTest::newRow("absolute") << "/tmp/x";
    }
    void deletionStaysInsideThumbsFolder()
    {
        QFETCH(QString, thumbName);
        QTemporaryDir dir;
        clsAgentDB db(dir.path());
        QDir().mkpath(db.ThumbsFolder());
        QVERIFY(storetest::writeFile(db.DBFile(), "keep me"));
        db.AddWebsiteProfile(false, "n", "", "", "", thumbName);
        QVERIFY(db.DeleteWebsiteProfile(0));
        QCOMPARE(storetest::readFile(db.DBFile()), QByteArray("keep me"));
        QVERIFY(QFileInfo(dir.path()).isDir());
    }

    void fitsCodePage1252_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("fits");
        QTest::newRow("empty") << "" << true;
        QTest::newRow("euro and quotes") << QString::fromUtf8("€ “x” – Œ") << true;
        QTest::newRow("all") << storetest::allCharacters() << true;
        QTest::newRow("cyrillic") << QString::fromUtf8("пароль") << false;
        QTest::newRow("emoji") << QString::fromUtf8("pw😀") << false;
        QTest::newRow("polish") << QString::fromUtf8("zażółć") << false;
    }
    void fitsCodePage1252()
    {
        QFETCH(QString, text);
        QFETCH(bool, fits);
        QCOMPARE(::fitsCodePage1252(text), fits);
    }
};

QTEST_GUILESS_MAIN(ProfileTableTest)
#include "tst_profiletable.moc"
