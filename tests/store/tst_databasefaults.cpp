// Files that cannot be read, saves that cannot be written, and what is kept of the old file in both cases.
#include "clsagentdb.h"
#include "storetestsupport.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace storetest;

namespace {

struct Store
{
    explicit Store(const QString &folder) : db(folder, [this](const QString &m) { messages << m; }) { }
    QStringList messages;
    clsAgentDB db;
};

// A user and `profiles` profiles: 200 make a file larger than the 4096 bytes a "full disk" lets through.
void fillStore(clsAgentDB &db, int profiles = 1)
{
    db.TYMUserID = "new user";
    db.TYMMasterPassword = "newpass";
    for (int i = 0; i < profiles; ++i)
        db.AddWebsiteProfile(true, "profile", "https://example.org/login", "id", "password", "");
}

// Sets or clears the immutable attribute of a folder (root ignores permission bits, not this).
bool setImmutable(const QString &path, bool on)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return ok;
}

// The database holds every password: only its owner may read it.
mode_t permissions(const QString &path)
{
    struct stat st
    {
    };
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? (st.st_mode & 0777) : 0;
}

bool canCreateFileIn(const QString &folder)
{
    QFile probe(folder + "/probe");
    const bool created = probe.open(QIODevice::WriteOnly);
    if (created)
        probe.remove();
    return created;
}

} // namespace

class DatabaseFaultsTest : public QObject
{
    Q_OBJECT

private slots:
    void badFiles_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("present");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("unreadable");
        const QString blockMessage = "ciphertext size not a multiple of block size";
        QTest::newRow("missing") << QByteArray() << false << QString() << false;
        QTest::newRow("empty") << QByteArray() << true << QString() << false;
        QTest::newRow("20 bytes") << QByteArray(20, 'z') << true << blockMessage << true;
        QTest::newRow("3009 bytes") << QByteArray(3009, 'z') << true << blockMessage << true;
        QTest::newRow("2992 characters") << encipher(header("u", "p", "").left(2992)) << true << QString() << true;
        QTest::newRow("16 bytes") << encipher(QByteArray("u9\0"
                                                         "p9\0",
                                                         6))
                                  << true << QString() << true;
        QTest::newRow("one separator") << encipher(QByteArray("user9\0", 6) + QByteArray(2994, ' ')) << true
                                       << QString() << true;
        QByteArray straddling(3000, ' ');
        straddling.replace(0, 4, QByteArray("u9\0p", 4));
        straddling.replace(51, 2, FieldSep); // the second separator crosses byte 52
        QTest::newRow("separator across 52") << encipher(straddling) << true << QString() << true;
        QByteArray damaged = encipher(header("user", "password", "1 2 % "));
        damaged[5] = static_cast<char>(damaged[5] ^ 0x40); // the first block, which holds both separators
        QTest::newRow("damaged first block") << damaged << true << QString() << true;
    }
    void badFiles()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, present);
        QFETCH(QString, message);
        QFETCH(bool, unreadable);
        QTemporaryDir dir;
        Store s(dir.path());
        if (present)
            QVERIFY(writeFile(s.db.DBFile(), file));
        s.db.AddWebsiteProfile(false, "stale", "", "", "", "");
        QVERIFY(!s.db.OpenDB());
        QCOMPARE(s.db.WebsiteProfileCount(), 0);
        QCOMPARE(s.messages, message.isEmpty() ? QStringList() : QStringList {message});
        QCOMPARE(s.db.FoundUnreadableDB(), unreadable);
        if (present)
            QCOMPARE(readFile(s.db.DBFile()), file);
    }

    void otherEntriesAreNoDatabase_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("folder") << "folder";
        QTest::newRow("pipe") << "pipe";
    }
    void otherEntriesAreNoDatabase()
    {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        Store s(dir.path());
        if (kind == "folder")
            QVERIFY(QDir().mkpath(s.db.DBFile()));
        else
            QVERIFY(::mkfifo(QFile::encodeName(s.db.DBFile()).constData(), 0600) == 0);
        QVERIFY(!s.db.OpenDB()); // returns at once, also for the pipe that nobody writes to
        QVERIFY(!s.db.FoundUnreadableDB());
        QVERIFY(s.messages.isEmpty());
    }

    void randomBytesNeverCrash()
    {
        QTemporaryDir dir;
        QRandomGenerator random(20261206);
        QList<int> lengths;
        for (int n = 1; n <= 80; ++n)
            lengths << n;
        for (int n = 2976; n <= 3040; ++n)
            lengths << n;
        lengths << 4096 << 10000 << 65536;
        int opened = 0;
        for (int n : lengths) {
            for (bool plaintextChosen : {false, true}) {
                QByteArray bytes(n, '\0');
                random.fillRange(reinterpret_cast<quint32 *>(bytes.data()), n / 4);
                if (plaintextChosen) {
                    // Random records behind a valid header reach the record reader.
                    bytes.replace(0, 8, QByteArray("ab9\0cd9\0", 8));
                    for (int i = 3000; i + 1 < n; i += 1 + random.bounded(12))
                        bytes.replace(i, 2, random.bounded(2) ? FieldSep : QByteArray("2\0", 2));
                    bytes = encipher(bytes);
                }
                QVERIFY(writeFile(dir.filePath("vy.bdb"), bytes));
                clsAgentDB db(dir.path());
                if (db.OpenDB()) {
                    ++opened;
                    for (qint32 i = 0; i < db.WebsiteProfileCount(); ++i)
                        QVERIFY(!db.WPName(i).contains(QStringView(u"9\0", 2)));
                } else {
                    QCOMPARE(db.WebsiteProfileCount(), 0);
                }
            }
        }
        QVERIFY(opened > 0);
    }

    void unreadableFileIsKeptAside_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("kept");
        QTest::newRow("20 bytes") << QByteArray("twenty bytes of junk") << true;
        QTest::newRow("header without separators") << encipher(QByteArray(3008, 'q')) << true;
        QTest::newRow("plain text") << QByteArray(4000, 'a') << true;
        QTest::newRow("empty file is simply replaced") << QByteArray() << false;
    }
    void unreadableFileIsKeptAside()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, kept);
        QTemporaryDir dir;
        Store s(dir.path());
        QVERIFY(writeFile(s.db.DBFile(), file));
        QVERIFY(::chmod(QFile::encodeName(s.db.DBFile()).constData(), 0644) == 0);
        QVERIFY(!s.db.OpenDB());
        QCOMPARE(s.db.FoundUnreadableDB(), kept);
        QVERIFY(s.db.KeptUnreadableDBFile().isEmpty());

        fillStore(s.db);
        QVERIFY(s.db.SaveDB());
        QCOMPARE(permissions(s.db.DBFile()), 0600u); // also over a 0644 file
        const QString keptFile = s.db.KeptUnreadableDBFile();
        QCOMPARE(keptFile.isEmpty(), !kept);
        if (kept) {
            const QRegularExpression name("^" + QRegularExpression::escape(s.db.DBFile()) +
                                          R"(\.unreadable-\d{8}-\d{6}(-\d+)?$)");
            QVERIFY(name.match(keptFile).hasMatch());
            QCOMPARE(readFile(keptFile), file);
        }
        clsAgentDB fresh(dir.path());
        QVERIFY(fresh.OpenDB());
        QCOMPARE(fresh.TYMUserID, "new user");

        // Only the first save moves anything aside.
        QVERIFY(s.db.SaveDB());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), kept ? 2 : 1);
        QCOMPARE(s.db.KeptUnreadableDBFile(), keptFile);
    }

    void failedSaveKeepsOldFile_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("disk full") << "fsize";
        QTest::newRow("read-only folder") << "readonly";
        QTest::newRow("database name taken by a folder") << "directory";
        QTest::newRow("program folder is a file") << "notafolder";
    }
    void failedSaveKeepsOldFile()
    {
        QFETCH(QString, fault);
        QTemporaryDir dir;
        const QString folder = dir.filePath("prog");
        QVERIFY(QDir().mkpath(folder));
        Store s(folder);
        fillStore(s.db, 200);
        QVERIFY(s.db.SaveDB());
        QCOMPARE(permissions(s.db.DBFile()), 0600u); // a new file
        const QByteArray before = readFile(s.db.DBFile());
        s.db.AddWebsiteProfile(false, "one more", "", "", "", "");

        bool ok = true;
        if (fault == "fsize") {
            const FileSizeLimit diskFull(4096);
            QVERIFY(diskFull.active());
            ok = s.db.SaveDB();
        } else if (fault == "readonly") {
            QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0500) == 0);
            const bool immutable = ::geteuid() == 0 && setImmutable(folder, true);
            const bool refuses = !canCreateFileIn(folder);
            if (refuses)
                ok = s.db.SaveDB();
            if (immutable)
                setImmutable(folder, false);
            ::chmod(QFile::encodeName(folder).constData(), 0700);
            if (!refuses)
                QSKIP("this user can write into a folder without write permission");
        } else if (fault == "directory") {
            const QString aside = folder + "/old.bdb";
            QVERIFY(QFile::rename(s.db.DBFile(), aside));
            QVERIFY(QDir().mkpath(s.db.DBFile() + "/content"));
            ok = s.db.SaveDB();
            QVERIFY(QFileInfo(s.db.DBFile() + "/content").isDir());
            QDir(s.db.DBFile()).removeRecursively();
            QVERIFY(QFile::rename(aside, s.db.DBFile()));
        } else if (fault == "notafolder") {
            QVERIFY(writeFile(dir.filePath("file"), "x"));
            Store elsewhere(dir.filePath("file"));
            fillStore(elsewhere.db);
            ok = elsewhere.db.SaveDB();
            QCOMPARE(readFile(dir.filePath("file")), QByteArray("x"));
        }
        QVERIFY(!ok);
        QCOMPARE(readFile(s.db.DBFile()), before);
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList {"vy.bdb"});

        // Once the fault is gone the same store saves.
        QVERIFY(s.db.SaveDB());
        clsAgentDB back(folder);
        QVERIFY(back.OpenDB());
        QCOMPARE(back.WebsiteProfileCount(), 201);
    }

    void failedSaveKeepsUnreadableFileInPlace()
    {
        // When the new file cannot be written the unreadable one is neither replaced nor left renamed.
        QTemporaryDir dir;
        Store s(dir.path());
        QVERIFY(writeFile(s.db.DBFile(), QByteArray(8000, 'j')));
        QVERIFY(!s.db.OpenDB());
        fillStore(s.db, 200);
        {
            const FileSizeLimit diskFull(4096);
            QVERIFY(diskFull.active());
            QVERIFY(!s.db.SaveDB());
        }
        QCOMPARE(readFile(s.db.DBFile()), QByteArray(8000, 'j'));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList {"vy.bdb"});
        QVERIFY(s.db.KeptUnreadableDBFile().isEmpty());

        QVERIFY(s.db.SaveDB());
        QCOMPARE(readFile(s.db.KeptUnreadableDBFile()), QByteArray(8000, 'j'));
    }
};

QTEST_GUILESS_MAIN(DatabaseFaultsTest)
#include "tst_databasefaults.moc"
