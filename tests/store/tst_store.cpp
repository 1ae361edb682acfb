// The store against vy.bdb files laid out by hand and enciphered by the openssl command line (tests/data/store).
#include "clsagentdb.h"
#include "cp1252.h"

#include <QtTest>

#include <csignal>
#include <future>
#include <sys/resource.h>
#include <sys/stat.h>

class StoreTest : public QObject
{
    Q_OBJECT

    std::optional<QTemporaryDir> dir;
    std::optional<clsAgentDB> db;

    static QByteArray read(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static bool write(const QString &path, const QByteArray &bytes)
    {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }
    static QString fixture(const QString &name) { return QFINDTESTDATA("../data/store/" + name); }
    // Files of this process cannot grow past the limit, as on a full disk; root is held to it too.
    static bool limitFiles(rlim_t bytes)
    {
        rlimit limit {};
        return !::getrlimit(RLIMIT_FSIZE, &limit) && (limit.rlim_cur = bytes) && !::setrlimit(RLIMIT_FSIZE, &limit);
    }
    QStringList files() const { return QDir(dir->path()).entryList(QDir::Files | QDir::Hidden | QDir::System); }
    // A test run as root meets permissions as a user would: it acts as nobody, who owns the test's folder.
    bool asUser(bool user) const
    {
        uid_t real, effective, saved;
        if (::getresuid(&real, &effective, &saved) || saved) // a user already
            return true;
        return user ? !::chown(qPrintable(dir->path()), 65534, 65534) && !::setresuid(65534, 65534, 0)
                    : !::setresuid(0, 0, 0);
    }
    // A profile that makes vy.bdb larger than a "full disk" lets through.
    void addLarge() { db->AddWebsiteProfile(true, "large", "https://example.org/", "id", QString(5000, 'p'), ""); }

private slots:
    void init()
    {
        std::signal(SIGXFSZ, SIG_IGN);
        limitFiles(RLIM_INFINITY);
        asUser(false);
        ::umask(0); // whatever the umask, the store's files are owner-only
        db.emplace(dir.emplace().path());
    }
    void handLaidFiles()
    {
        QVERIFY(QFile::copy(fixture("vy.bdb"), db->DBFile()) && db->OpenDB());
        QVERIFY(db->TYMUserID == "alice9" && db->TYMMasterPassword == "s3cret2");
        QCOMPARE(db->TYMTrainData, QString("120 80 95 % 130 70 90 % ").leftJustified(2948));
        ByteArray high(255); // every byte but NUL: the store reads them as the code page does
        std::iota(high.begin(), high.end(), 1);
        const QList<WebsiteProfile> profiles = {
            {"Bank", "https://bank.example/login", "alice@example.org", "pw9", "bank.png", true},
            {},
            {QString::fromStdU16String(cp1252::toUtf16(high)), "u2", "€9", "2 5 5 x€", "t.png", false}};
        QCOMPARE(db->Profiles(), profiles);
        QVERIFY(QFile::remove(db->DBFile()) && db->SaveDB());
        QCOMPARE(read(db->DBFile()), read(fixture("vy.bdb")));
        db->TYMTrainData = QString(3000, 't'); // cut to its place in the header
        QVERIFY(db->SaveDB() && db->OpenDB());
        QVERIFY(db->TYMTrainData == QString(2948, 't') && db->Profiles() == profiles);
        // Records the reader skips or takes apart with care.
        QVERIFY(QFile::remove(db->DBFile()) && QFile::copy(fixture("odd.bdb"), db->DBFile()) && db->OpenDB());
        QStringList read;
        for (const WebsiteProfile &p : db->Profiles())
            read << QString::number(p.Tympra) + p.Name;
        QCOMPARE(read,
                 (QStringList {"1first", QStringLiteral(u"0a2\0005\000b2\0005x5\000c"), QStringLiteral(u"0\0x"),
                               "0nul flag", "099", "0last"}));
    }
    // Only a regular file with content is read: a pipe would block, a link is never followed. One that cannot be read
    // (damaged, or the user may not read it) is not replaced but kept aside, a link as itself, by the first save
    // that succeeds; the new vy.bdb is a regular file, owner-only as every vy.bdb.
    void unreadableFileIsKeptAside_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("missing") << QString();
        QTest::newRow("pipe") << QString();
        for (const char *file : {"empty", "junk-20", "plain-4000", "short-header", "one-separator", "separator-at-52"})
            QTest::newRow(file) << QString(file);
        QTest::newRow("link") << "vy";
        QTest::newRow("mode 000") << "vy";
    }
    void unreadableFileIsKeptAside()
    {
        QFETCH(QString, file);
        QVERIFY(asUser(true));
        const QString tag = QTest::currentDataTag();
        const QByteArray bytes = file.isEmpty() ? QByteArray() : read(fixture(file + ".bdb"));
        const QString target = tag == "link" ? dir->filePath("sub/target") : db->DBFile();
        QVERIFY(tag != "link" || QDir(dir->path()).mkdir("sub"));
        QVERIFY(file.isEmpty() || write(target, bytes));
        QVERIFY(tag != "link" || QFile::link(target, db->DBFile()));
        QVERIFY(tag != "pipe" || !::mkfifo(qPrintable(db->DBFile()), 0644));
        QFile::setPermissions(db->DBFile(), QFile::Permissions(tag == "mode 000" ? 0 : 0x0604)); // none, or 0604
        const QStringList before = files();
        db->AddWebsiteProfile(false, "stale", "", "", "", "");
        auto opened = std::async(std::launch::async, [this] { return db->OpenDB(); });
        const bool blocked = opened.wait_for(std::chrono::seconds(5)) == std::future_status::timeout;
        if (blocked)
            QFile(db->DBFile()).open(QIODevice::WriteOnly); // a writer lets the reader go
        QVERIFY(!blocked && !opened.get() && db->WebsiteProfileCount() == 0);
        QCOMPARE(db->FoundUnreadableDB(), !bytes.isEmpty());
        addLarge(); // a full disk fails the save and changes nothing
        QVERIFY(limitFiles(4096) && !db->SaveDB() && limitFiles(RLIM_INFINITY) && files() == before);
        QVERIFY(db->SaveDB() && db->SaveDB()); // only the first save moves anything aside
        const QByteArray saved = read(db->DBFile()); // a full disk leaves the saved file as it was
        QVERIFY(limitFiles(4096) && !db->SaveDB() && limitFiles(RLIM_INFINITY) && read(db->DBFile()) == saved);
        QCOMPARE(files().size(), bytes.isEmpty() ? 1 : 2);
        QVERIFY(bytes.isEmpty() ||
                QRegularExpression(R"(^vy\.bdb\.unreadable-\d{8}-\d{6}$)").match(files()[1]).hasMatch());
        QVERIFY(asUser(false) && (bytes.isEmpty() || read(db->KeptUnreadableDBFile()) == bytes));
        QVERIFY((tag != "link" || read(target) == bytes) && !QFileInfo(db->DBFile()).isSymLink());
        QCOMPARE(QFileInfo(db->DBFile()).permissions() & 0x077, 0); // none for group and others, even over 0644
        clsAgentDB again(dir->path());
        QVERIFY(again.OpenDB() && again.Profiles() == db->Profiles());
    }
    // A save cut short leaves its temporary file, vy.bdb and six letters; at start only regular files of that name go.
    void saveLeftoversAreRemoved()
    {
        const QStringList kept {"vy.bdb",        "vy.bdb.AbCdE",  "vy.bdb.Folder",
                                "vy.bdb.Linked", "vy.bdb.abc123", "xvy.bdb.AbCdEf"};
        for (const QString &name : kept + QStringList {"vy.bdb.AbCdEf", "vy.bdb.qwerty"})
            QVERIFY(name.contains('F')       ? QDir(dir->path()).mkdir(name)
                        : name.contains('L') ? QFile::link(fixture("vy.bdb"), dir->filePath(name))
                                             : write(dir->filePath(name), "x"));
        db->RemoveSaveLeftovers();
        QCOMPARE(QDir(dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name), kept);
    }
    // Indices outside the table change nothing; deleting keeps them dense, a picture shared by several profiles goes
    // with the last of them.
    void profileTable()
    {
        QVERIFY(QDir().mkdir(db->ThumbsFolder()) && write(db->ThumbsFolder() + "shared.png", "picture"));
        for (const char *name : {"A", "B", "C"})
            db->AddWebsiteProfile(false, name, "", "", "", *name == 'C' ? "" : "shared.png");
        const QList<WebsiteProfile> before = db->Profiles();
        for (int index : {-1, 3}) {
            QVERIFY_THROWS_EXCEPTION(std::out_of_range, db->WPName(index));
            QVERIFY_THROWS_EXCEPTION(std::out_of_range, db->DeleteWebsiteProfile(index));
        }
        QVERIFY(db->Profiles() == before && db->WPThumbName(2) == db->ThumbsFolder()); // no picture: the folder
        QVERIFY(db->DeleteWebsiteProfile(0) && QFile::exists(db->ThumbsFolder() + "shared.png"));
        QVERIFY(db->DeleteWebsiteProfile(0) && !QFile::exists(db->ThumbsFolder() + "shared.png"));
        QVERIFY(db->WebsiteProfileCount() == 1 && db->WPName(0) == "C");
    }
    // A picture is copied into the thumbs folder under a bare name, never elsewhere, never in part.
    void saveThumb_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("size"); // more than 4096 bytes is more than a "full disk" lets through
        QTest::newRow("folder made") << "logo.png" << 100;
        QTest::newRow("disk full") << "logo.png" << 5000;
        for (const char *name : {"../vy.bdb", "..", ".", ""})
            QTest::newRow(name) << name << 100;
    }
    void saveThumb()
    {
        QFETCH(QString, name);
        QFETCH(int, size);
        const bool ok = name == "logo.png" && size < 4096;
        db->AddWebsiteProfile(false, "n", "", "", "", name);
        QVERIFY(write(db->DBFile(), "keep me") && write(dir->filePath("picture"), QByteArray(size, 'p')));
        QVERIFY(name == "logo.png" || QDir().mkdir(db->ThumbsFolder()));
        QVERIFY(limitFiles(4096) && db->SaveThumb(0, dir->filePath("picture")) == ok && limitFiles(RLIM_INFINITY));
        QCOMPARE(read(db->ThumbsFolder() + "logo.png"), ok ? QByteArray(size, 'p') : QByteArray());
        const QFileInfo folder(db->ThumbsFolder()), picture(db->ThumbsFolder() + "logo.png");
        QVERIFY(!ok || ((folder.permissions() | picture.permissions()) & 0x077) == 0);
        QVERIFY(db->DeleteWebsiteProfile(0) && read(db->DBFile()) == "keep me");
    }
    void autoSignIn()
    {
        // Only exactly "1" in section Vaultry is on; writing keeps the rest of the file.
        QVERIFY(write(db->INIFile(), "[Other]\nAutoSignIn=0\nkey=value\n[Vaultry]\nAutoSignIn=1\n"));
        QCOMPARE(db->INIAutoSignIn(), "1");
        db->setINIAutoSignIn("01");
        QVERIFY(db->INIAutoSignIn() == "0" && read(db->INIFile()).contains("key=value"));
        QCOMPARE(QFileInfo(db->INIFile()).permissions() & 0x077, 0);
    }
};

QTEST_GUILESS_MAIN(StoreTest)
#include "tst_store.moc"
