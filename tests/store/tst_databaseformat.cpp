// vy.bdb byte for byte: files laid out by hand and enciphered with OpenSSL must open, saved files must decipher
// to the hand-laid bytes, and every field comes back as it went in.
#include "clsagentdb.h"
#include "storetestsupport.h"

#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(WebsiteProfile)

using namespace storetest;

class DatabaseFormatTest : public QObject
{
    Q_OBJECT

private slots:
    void opensHandLaidFile()
    {
        QTemporaryDir dir;
        const QByteArray train = "120 80 95 % 130 70 90 % ";
        QByteArray plain = header("alice", "s3cret9", train);
        plain += record({"1", "Bank", "https://bank.example/login", "alice@example.org", "pw2", "bank.png"});
        plain += record({"0", "Mail", "https://mail.example/", "al", "", ""});
        plain += record({"x", allBytes().mid(1), "u", "i", allBytes(), "t.bmp"});
        // Only exactly "1" is a true flag.
        for (const QByteArray flag : {"", "11", "True", "-1"})
            plain += record({flag, "flag", "", "", "", ""});
        QVERIFY(writeFile(dir.filePath("vy.bdb"), encipher(plain)));

        clsAgentDB db(dir.path());
        db.AddWebsiteProfile(false, "stale", "", "", "", "");
        QVERIFY(db.OpenDB());
        QCOMPARE(db.TYMUserID, "alice");
        QCOMPARE(db.TYMMasterPassword, "s3cret9");
        QCOMPARE(db.TYMTrainData, QString::fromLatin1(train) + QString(2948 - train.size(), ' '));
        QCOMPARE(db.WebsiteProfileCount(), 7);
        QCOMPARE(db.Profiles().at(0),
                 (WebsiteProfile {"Bank", "https://bank.example/login", "alice@example.org", "pw2", "bank.png", true}));
        QCOMPARE(db.Profiles().at(1), (WebsiteProfile {"Mail", "https://mail.example/", "al", "", "", false}));
        QCOMPARE(db.WPName(2), allCharacters().mid(1));
        QCOMPARE(db.WPPassword(2), allCharacters());
        for (int i = 2; i < 7; ++i)
            QVERIFY(!db.WPTympra(i));
        QVERIFY(!db.FoundUnreadableDB());
    }

    void savesHandLaidBytes()
    {
        QTemporaryDir dir;
        clsAgentDB db(dir.path());
        db.TYMUserID = "bob";
        db.TYMMasterPassword = "master";
        db.TYMTrainData = "10 20 % ";
        db.AddWebsiteProfile(true, "Shop", "https://shop.example/", "bob", allCharacters(), "s.jpg");
        db.AddWebsiteProfile(false, "", "", "", "", "");
        QVERIFY(db.SaveDB());

        QByteArray expected = header("bob", "master", "10 20 % ");
        expected += record({"1", "Shop", "https://shop.example/", "bob", allBytes(), "s.jpg"});
        expected += record({"0", "", "", "", "", ""});
        const QByteArray file = readFile(db.DBFile());
        QCOMPARE(file.size(), (expected.size() + 15) / 16 * 16);
        const QByteArray plain = decipher(file);
        QCOMPARE(plain.left(expected.size()), expected);
        QCOMPARE(plain.mid(expected.size()), QByteArray(file.size() - expected.size(), '\0'));
    }

    void noProfilesGives3008Bytes()
    {
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("vy.bdb"), QByteArray(100000, 'x'))); // a longer old file leaves no tail
        clsAgentDB db(dir.path());
        db.TYMUserID = "carol";
        QVERIFY(db.SaveDB());
        QCOMPARE(QFileInfo(db.DBFile()).size(), 3008);
        clsAgentDB again(dir.path());
        QVERIFY(again.OpenDB());
        QCOMPARE(again.WebsiteProfileCount(), 0);
        QCOMPARE(again.TYMUserID, "carol");
    }

    void roundTrip_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("master");
        QTest::addColumn<QString>("train");
        QTest::addColumn<WebsiteProfile>("profile");
        const auto row = [](const char *name, const QString &user, const QString &master, const QString &train,
                            const WebsiteProfile &profile) {
            QTest::newRow(name) << user << master << train << profile;
        };
        row("empty texts", "", "", "", {"", "", "", "", "", false});
        row("ending in 9", "user9", "pass99", "1 2 3 % 9", {"n9", "u9", "i9", "p9", "t9", true});
        row("ending in 2", "user2", "pass22", "2", {"n2", "u2", "i2", "p2", "t2", false});
        row("separators spelt out", "9 2 5 5", "255", "9255", {"2 5 5", "9", "255", "92", "2.5.5", true});
        const auto text = [](int n, char c) {
            return QString(n, QLatin1Char(c));
        };
        row("length limits", text(30, 'U'), text(15, 'P'), text(1760, '7'),
            {text(256, 'n'), text(1024, 'u'), text(256, 'i'), text(256, 'p'), text(255, 't'), true});
        row("full training text", "u", "p", text(2948, 'T'),
            {"Name", "https://x.example/", "me", "pw", "x.png", false});
        const QString all = allCharacters();
        row("code page", "Jürgen€", "pässwörd„", "é % ", {all, all, all, all, "ÿ.png", false});
    }
    void roundTrip()
    {
        QFETCH(QString, user);
        QFETCH(QString, master);
        QFETCH(QString, train);
        QFETCH(WebsiteProfile, profile);
        QTemporaryDir dir;
        clsAgentDB db(dir.path());
        db.TYMUserID = user;
        db.TYMMasterPassword = master;
        db.TYMTrainData = train;
        db.AddWebsiteProfile(false, "before", "b", "b", "b", "b");
        db.AddWebsiteProfile(profile.Tympra, profile.Name, profile.URL, profile.ID, profile.Password,
                             profile.ThumbName);
        db.AddWebsiteProfile(true, "after", "a", "a", "a", "a");
        QVERIFY(db.SaveDB());

        clsAgentDB back(dir.path());
        QVERIFY(back.OpenDB());
        QCOMPARE(back.TYMUserID, user);
        QCOMPARE(back.TYMMasterPassword, master);
        QCOMPARE(back.TYMTrainData.size(), 2948);
        QCOMPARE(back.TYMTrainData, train + QString(2948 - train.size(), ' '));
        QCOMPARE(back.Profiles(), db.Profiles());

        // Saving what was read gives the same file again.
        const QByteArray first = readFile(db.DBFile());
        QVERIFY(back.SaveDB());
        QCOMPARE(readFile(db.DBFile()), first);
    }

    void separatorPlacements_data()
    {
        QTest::addColumn<QByteArray>("records");
        QTest::addColumn<QStringList>("names");
        const QByteArray nul(1, '\0');
        QTest::newRow("none") << QByteArray() << QStringList();
        QTest::newRow("records of 5 and 7 fields and empty pieces skipped") << record({"0", "first", "", "", "", ""}) +
                record({"0", "five", "", "", ""}) + record({"0", "seven", "", "", "", "", ""}) +
                record({"1", "second", "u", "i", "p", "t"}) + RecordSep +
                record({"0", "third", "", "", "", ""}) << QStringList {"first", "second", "third"};
        QTest::newRow("only a record separator") << RecordSep << QStringList();
        QTest::newRow("record separator halves in a field")
            << record({"0", "a2" + nul + "5" + nul + "b", "", "", "", ""}) + record({"0", "next", "", "", "", ""})
            << QStringList {QString("a2") + QChar(0) + "5" + QChar(0) + "b", "next"};
        QTest::newRow("NUL right after a separator")
            << record({"0", nul + "x", "", "", "", nul}) << QStringList {QString(QChar(0)) + "x"};
        QTest::newRow("nines before separators") << record({"9", "99", "9", "9", "9", "99"}) << QStringList {"99"};
        QTest::newRow("twos before the record separator")
            << record({"0", "n", "", "", "", "22"}) + record({"0", "m", "", "", "", "2"}) << QStringList {"n", "m"};
        // Without a record separator the last record runs into the fill bytes, which become part of its last field.
        QTest::newRow("last record unterminated") << record({"0", "a", "", "", "", ""}) +
                QByteArray("0"
                           "9\0"
                           "b"
                           "9\0"
                           "9\0"
                           "9\0"
                           "9\0"
                           "t",
                           12) << QStringList {"a", "b"};
        QTest::newRow("record starting with NUL")
            << nul + record({"0", "x", "", "", "", ""}).mid(1) << QStringList {"x"};
    }
    void separatorPlacements()
    {
        QFETCH(QByteArray, records);
        QFETCH(QStringList, names);
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("vy.bdb"), encipher(header("u", "p", "") + records)));
        clsAgentDB db(dir.path());
        QVERIFY(db.OpenDB());
        QStringList read;
        for (const WebsiteProfile &p : db.Profiles())
            read << p.Name;
        QCOMPARE(read, names);
    }

    void headerFieldsPastTheirPlacesAreCut()
    {
        // Longer texts than the dialogs allow keep the header at 3000 bytes: the training text starts at 52 and
        // ends at 3000 whatever comes before it.
        QTemporaryDir dir;
        clsAgentDB db(dir.path());
        db.TYMUserID = QString(40, 'u');
        db.TYMMasterPassword = QString(20, 'p');
        db.TYMTrainData = QString(3100, 't');
        db.AddWebsiteProfile(false, "n", "", "", "", "");
        QVERIFY(db.SaveDB());
        const QByteArray plain = decipher(readFile(db.DBFile()));
        QCOMPARE(plain.left(52), QByteArray(40, 'u') + FieldSep + QByteArray(10, 'p'));
        QCOMPARE(plain.mid(52, 2948), QByteArray(2948, 't'));
        QCOMPARE(plain.mid(3000, 3),
                 QByteArray("0"
                            "9\0",
                            3));
    }
};

QTEST_GUILESS_MAIN(DatabaseFormatTest)
#include "tst_databaseformat.moc"
