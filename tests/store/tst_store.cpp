// The store against vy.bdb files laid out by hand and enciphered by the openssl command line (tests/data/store).
#include "cp1252.h"
#include "profilestore.h"
#include "settings.h"

#include <QtTest>

#include <csignal>
#include <future>
#include <sys/resource.h>
#include <sys/stat.h>

class StoreTest : public QObject
{
    Q_OBJECT

    std::optional<QTemporaryDir> dir;
    std::optional<ProfileStore> db;

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
    // A test run as root meets permissions as a user would: it acts as nobody, who owns the test's folder. Nobody
    // may not reach the checkout (a home folder of mode 0700): what a row needs is read before.
    bool asUser(bool user) const
    {
        uid_t real, effective, saved;
        if (::getresuid(&real, &effective, &saved) || saved) // a user already
            return true;
        return user ? !::chown(qPrintable(dir->path()), 65534, 65534) && !::setresuid(65534, 65534, 0)
                    : !::setresuid(0, 0, 0);
    }
    // A profile that makes vy.bdb larger than a "full disk" lets through.
    bool addLarge(QString *error = nullptr)
    {
        return db->add({"large", "https://example.org/", "id", QString(5000, 'p'), "", true}, error);
    }
    bool add(const QString &name, const QString &thumbName = {}) { return db->add({name, "", "", "", thumbName}); }

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
        QVERIFY(QFile::copy(fixture("vy.bdb"), db->walletPath()) && db->open());
        Enrolment enrolment {"alice9", "s3cret2", QString("120 80 95 % 130 70 90 % ").leftJustified(2948)};
        QCOMPARE(db->enrolment(), enrolment);
        ByteArray high(255); // every byte but NUL: the store reads them as the code page does
        std::iota(high.begin(), high.end(), 1);
        const QList<WebsiteProfile> profiles = {
            {"Bank", "https://bank.example/login", "alice@example.org", "pw9", "bank.png", true},
            {},
            {QString::fromStdU16String(cp1252::toUtf16(high)), "u2", "€9", "2 5 5 x€", "t.png", false}};
        QCOMPARE(db->profiles(), profiles);
        QVERIFY(QFile::remove(db->walletPath()) && db->setEnrolment(enrolment));
        QCOMPARE(read(db->walletPath()), read(fixture("vy.bdb")));
        enrolment.trainingText = QString(3000, 't'); // cut to its place in the header
        QVERIFY(db->setEnrolment(enrolment) && db->open());
        QVERIFY(db->enrolment().trainingText == QString(2948, 't') && db->profiles() == profiles);
        // Records the reader skips or takes apart with care.
        QVERIFY(QFile::remove(db->walletPath()) && QFile::copy(fixture("odd.bdb"), db->walletPath()) && db->open());
        QStringList read;
        for (const WebsiteProfile &p : db->profiles())
            read << QString::number(p.tympra) + p.name;
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
        const QString tag = QTest::currentDataTag();
        const QByteArray bytes = file.isEmpty() ? QByteArray() : read(fixture(file + ".bdb"));
        QVERIFY(asUser(true) && add("stale") && QFile::remove(db->walletPath())); // open() forgets what was held
        const QString target = tag == "link" ? dir->filePath("sub/target") : db->walletPath();
        QVERIFY(tag != "link" || QDir(dir->path()).mkdir("sub"));
        QVERIFY(file.isEmpty() || write(target, bytes));
        QVERIFY(tag != "link" || QFile::link(target, db->walletPath()));
        QVERIFY(tag != "pipe" || !::mkfifo(qPrintable(db->walletPath()), 0644));
        QFile::setPermissions(db->walletPath(), QFile::Permissions(tag == "mode 000" ? 0 : 0x0604)); // none, or 0604
        const QStringList before = files();
        QString error = "none";
        auto opened = std::async(std::launch::async, [&] { return db->open(&error); });
        const bool blocked = opened.wait_for(std::chrono::seconds(5)) == std::future_status::timeout;
        if (blocked)
            QFile(db->walletPath()).open(QIODevice::WriteOnly); // a writer lets the reader go
        QVERIFY(!blocked && !opened.get() && db->profiles().isEmpty());
        QCOMPARE(db->foundUnreadableWallet(), !bytes.isEmpty());
        // Only the cipher's refusal is told: a file that is no whole number of blocks.
        QCOMPARE(error, tag == "junk-20" ? "ciphertext size not a multiple of block size" : "none");
        // A full disk fails the save, says why and changes nothing, on disk or in the store.
        QVERIFY(limitFiles(4096) && !addLarge(&error) && limitFiles(RLIM_INFINITY) && files() == before);
        QVERIFY(error.contains("vy.bdb cannot be written: ") && db->profiles().isEmpty());
        QVERIFY(addLarge() && add("second")); // only the first save moves anything aside
        const QByteArray saved = read(db->walletPath());
        QVERIFY(limitFiles(4096) && !addLarge() && limitFiles(RLIM_INFINITY) && read(db->walletPath()) == saved);
        QCOMPARE(db->profiles().size(), 2);
        QCOMPARE(files().size(), bytes.isEmpty() ? 1 : 2);
        QVERIFY(bytes.isEmpty() ||
                QRegularExpression(R"(^vy\.bdb\.unreadable-\d{8}-\d{6}$)").match(files()[1]).hasMatch());
        QVERIFY(asUser(false) && (bytes.isEmpty() || read(db->keptUnreadableWallet()) == bytes));
        QVERIFY((tag != "link" || read(target) == bytes) && !QFileInfo(db->walletPath()).isSymLink());
        QCOMPARE(QFileInfo(db->walletPath()).permissions() & 0x077, 0); // none for group and others, even over 0644
        ProfileStore again(dir->path());
        QVERIFY(again.open() && again.profiles() == db->profiles());
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
        db->removeSaveLeftovers();
        QCOMPARE(QDir(dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name), kept);
    }
    // Indices outside the table change nothing; deleting keeps them dense, a picture shared by several profiles goes
    // with the last of them; profiles are found by address and login name.
    void profileTable()
    {
        QVERIFY(QDir().mkdir(db->thumbsFolder()) && write(db->thumbsFolder() + "shared.png", "picture"));
        for (const char *name : {"A", "B", "C"})
            QVERIFY(add(name, *name == 'C' ? "" : "shared.png"));
        QCOMPARE(db->find("", ""), 0); // the first of several alike; later changes are found as well
        const QList<WebsiteProfile> before = db->profiles();
        QString error;
        for (int index : {-1, 3})
            QVERIFY(!db->remove(index, &error) && !db->replace(index, {}, &error) && error.contains("no website"));
        QVERIFY(db->profiles() == before && db->thumbPath(before[2]) == db->thumbsFolder()); // none: the folder
        QVERIFY(db->remove(0) && QFile::exists(db->thumbsFolder() + "shared.png"));
        QVERIFY(db->remove(0) && !QFile::exists(db->thumbsFolder() + "shared.png"));
        QVERIFY(db->replace(0, {"D", "u", "id", "pw", "", true}) && add("E") &&
                db->replace(1, {"E", "u", "ID", "", ""}));
        QVERIFY(db->find("u", "ID") == 1 && db->find("u", "id") == 0 && db->find("U", "id") == -1);
        ProfileStore stored(dir->path());
        QVERIFY(stored.open() && stored.profiles() == db->profiles() && stored.profiles()[0].name == "D");
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
        QVERIFY(add("n", name) && write(dir->filePath("picture"), QByteArray(size, 'p')));
        QVERIFY(name == "logo.png" || QDir().mkdir(db->thumbsFolder()));
        QString error;
        QVERIFY(limitFiles(4096) && db->saveThumb(dir->filePath("picture"), name, &error) == ok);
        QVERIFY(limitFiles(RLIM_INFINITY) && ok == error.isEmpty());
        QCOMPARE(read(db->thumbsFolder() + "logo.png"), ok ? QByteArray(size, 'p') : QByteArray());
        const QFileInfo folder(db->thumbsFolder()), picture(db->thumbsFolder() + "logo.png");
        QVERIFY(!ok || ((folder.permissions() | picture.permissions()) & 0x077) == 0);
        QVERIFY(db->remove(0) && QFile::exists(db->walletPath()) && !QFile::exists(picture.filePath()));
    }
    // vy.ini's section Vaultry: each key with its default for what is missing or no whole number it takes.
    void settings_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("read"); // autoSignIn, homePage, clipboardSeconds, lockMinutes
        QTest::newRow("missing") << QString() << "0  10 5";
        QTest::newRow("numbers") << " 7 "
                                 << "0 7 7 7";
        QTest::newRow("zero") << "0"
                              << "0 0 10 0";
        QTest::newRow("below zero") << "-3"
                                    << "0 -3 10 -3";
        QTest::newRow("no number") << "yes"
                                   << "0 yes 10 5";
        QTest::newRow("on") << "1"
                            << "1 1 1 1";
        QTest::newRow("not quite 1") << "01"
                                     << "0 01 1 1";
    }
    void settings()
    {
        QFETCH(QString, value);
        QFETCH(QString, read);
        Settings settings(dir->path());
        QVERIFY(write(settings.path(), "[Other]\nAutoSignIn=1\nLockMinutes=9\nkey=value\n"));
        QSettings ini(settings.path(), QSettings::IniFormat);
        for (const char *key : {"AutoSignIn", "HomePage", "ClipboardSeconds", "LockMinutes"})
            value.isNull() ? void() : ini.setValue(QString("Vaultry/") + key, value);
        ini.sync();
        QCOMPARE(QString("%1 %2 %3 %4")
                     .arg(settings.autoSignIn())
                     .arg(settings.homePage())
                     .arg(settings.clipboardSeconds())
                     .arg(settings.lockMinutes()),
                 read);
        // Writing the switch keeps the rest of the file and makes it the owner's alone.
        settings.setAutoSignIn(!settings.autoSignIn());
        QVERIFY(settings.autoSignIn() != (read[0] == '1') && this->read(settings.path()).contains("key=value"));
        QCOMPARE(QFileInfo(settings.path()).permissions() & 0x077, 0);
    }
};

QTEST_GUILESS_MAIN(StoreTest)
#include "tst_store.moc"
