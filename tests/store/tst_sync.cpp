// vy.bdb replaced on disk by another machine's copy (written elsewhere, renamed into place, as sync tools do) while
// the store holds its own: the merge rules as rows, a file that does not open, a conflict copy.
#include "profilestore.h"

#include <QtTest>

#include <cstdio>

namespace {

const Enrolment kEnrolment {"alice", "Secret7", "1 % "};

// Profiles as words: the letter is the address and login name, the digit the password; a star marks the other
// copy's version kept beside this machine's.
QList<WebsiteProfile> profiles(const QString &words)
{
    QList<WebsiteProfile> list;
    for (const QString &w : words.split(' ', Qt::SkipEmptyParts))
        list.append({w.left(1).toUpper() + (w.endsWith('*') ? " (from another copy)" : ""),
                     "https://" + w.left(1) + ".example/", w.left(1), w.mid(1, 1), "", false});
    return list;
}
QString words(const QList<WebsiteProfile> &list)
{
    QStringList w;
    for (const WebsiteProfile &p : list)
        w << p.loginName + p.password + (p.name.endsWith("copy)") ? "*" : "");
    return w.join(' ');
}

} // namespace

class SyncTest : public QObject
{
    Q_OBJECT

    std::optional<QTemporaryDir> here, elsewhere;

    // Another machine's wallet, renamed into place over this one's; junk when not a word of profiles.
    bool replace(const QString &disk, const QString &password, bool sealed, const QString &name = "vy.bdb")
    {
        ProfileStore other(elsewhere.emplace().path());
        QFile junk(other.walletPath());
        const bool made = disk == "junk"
            ? junk.open(QIODevice::WriteOnly) && junk.write("junk") && junk.flush()
            : other.setEnrolment({"alice", password, "2 % "}) && other.add(profiles(disk)) && other.setSealed(sealed);
        return made && !std::rename(qPrintable(other.walletPath()), qPrintable(here->filePath(name)));
    }
    static QByteArray read(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void init() { here.emplace(); }

    void mergeRules_data()
    {
        // base | on disk (junk: damaged; "other" in the sealing column: sealed under another password) | the change
        // here (+ add, - delete, else an edit) | the wallet after (empty: refused) | added and changed, as told
        QTest::addColumn<QString>("row");
        QTest::addColumn<QString>("sealing"); // "", "sealed", "other"
        QTest::newRow("added there") << "a1|a1 b1|+c1|a1 c1 b1|1 0"
                                     << "";
        QTest::newRow("added here, nothing on disk") << "a1|-|+b1|a1 b1|"
                                                     << "";
        QTest::newRow("deleted here") << "a1 b1|a1 b1 c1|-a|b1 c1|1 0"
                                      << "";
        QTest::newRow("deleted there") << "a1 b1|b1|+c1|b1 c1|0 1"
                                       << "";
        QTest::newRow("changed on both sides") << "a1 b1|a2 b2|a3|a3 b2 a2*|1 1"
                                               << "";
        QTest::newRow("the same change on both") << "a1|a2|a2|a2|0 0"
                                                 << "";
        QTest::newRow("deleted here, changed there") << "a1 b1|a2 b1|-a|b1 a2|1 0"
                                                     << "";
        QTest::newRow("damaged on disk") << "a1|junk|+b1||"
                                         << "";
        QTest::newRow("sealed") << "a1|a1 b1|+c1|a1 c1 b1|1 0"
                                << "sealed";
        QTest::newRow("sealed, another password") << "a1|a1 b1|+c1||"
                                                  << "other";
    }
    void mergeRules()
    {
        QFETCH(QString, row);
        QFETCH(QString, sealing);
        const QStringList f = row.split('|'); // base, disk, change, after, told
        ProfileStore store(here->path());
        QVERIFY(store.setEnrolment(kEnrolment) && store.add(profiles(f[0])) && store.setSealed(!sealing.isEmpty()));
        QString told;
        store.setMergeListener(
            [&](const walletmerge::Count &c) { told = QString("%1 %2").arg(c.added).arg(c.changed); });
        QVERIFY(f[1] == "-" || replace(f[1], sealing == "other" ? "Other99" : "Secret7", !sealing.isEmpty()));
        const QByteArray disk = read(store.walletPath());
        const QString letter = f[2].mid(f[2].startsWith('-') ? 1 : 0, 1);
        const int at = store.find("https://" + letter + ".example/", letter);
        QString error;
        const bool saved = f[2].startsWith('+') ? store.add(profiles(f[2].mid(1)), &error)
            : f[2].startsWith('-')              ? store.remove(at, &error)
                                                : store.replace(at, profiles(f[2]).first(), &error);
        QCOMPARE(saved, !f[3].isEmpty());
        QCOMPARE(words(store.profiles()), saved ? f[3] : f[0]);
        QCOMPARE(told, f[4]);
        // Nothing is written over a file that does not open, nor lost from it; the store says why.
        QVERIFY(saved || (read(store.walletPath()) == disk && error.contains("open")));
        ProfileStore stored(here->path());
        QVERIFY(!saved || (stored.open() && stored.unlock("Secret7") == !sealing.isEmpty()));
        // The newer file's typing rhythm counts, whatever changed here.
        QVERIFY(!saved ||
                (stored.profiles() == store.profiles() &&
                 store.enrolment().trainingText.startsWith(f[1] == "-" ? "1 % " : "2 % ")));
        // Sealed under a new master password, it opens with that one (typed at the next sign-in), and is sealed
        // under it from then on; or this machine's version is kept, the file on disk going aside as unreadable.
        QVERIFY(sealing != "other" ||
                (store.refresh(nullptr, "Other99") && store.enrolment().masterPassword == "Other99"));
        QVERIFY(saved || (store.keepThisVersion() && read(store.keptUnreadableWallet()) == disk));
        QVERIFY(sealing != "other" || (stored.open() && stored.unlock("Other99")));
    }
    // Taken in while idle: the other copy's wallet as it is, with its master password for the next sign-in.
    void refresh()
    {
        ProfileStore store(here->path());
        bool passwordChanged = false;
        store.setMergeListener([&](const walletmerge::Count &c) { passwordChanged = c.masterPasswordChanged; });
        QVERIFY(store.setEnrolment(kEnrolment) && store.add(profiles("a1 b1")) && !store.mayHaveChangedOnDisk());
        QVERIFY(replace("b2 c1", "Newer88", false) && store.mayHaveChangedOnDisk());
        QVERIFY(store.refresh() && words(store.profiles()) == "b2 c1" && passwordChanged);
        QVERIFY(store.enrolment().masterPassword == "Newer88" && !store.mayHaveChangedOnDisk());
    }
    // A Syncthing conflict copy is merged, neither side losing anything, and moved into conflicts-merged/.
    void conflictCopy()
    {
        const QString name = "vy.sync-conflict-20240101-120000-ABCDEF1.bdb";
        ProfileStore store(here->path());
        QVERIFY(store.setEnrolment(kEnrolment) && store.add(profiles("a1 b1")));
        QVERIFY(replace("a2 c1", "Other99", false, name) && replace("d1", "Secret7", false, "vy (copy).bdb"));
        QStringList moved;
        QVERIFY(store.mergeConflictCopies(&moved) && moved == QStringList {name});
        QVERIFY(words(store.profiles()) == "a1 b1 c1 a2*" && store.enrolment().masterPassword == "Secret7");
        const QFileInfo merged(here->filePath("conflicts-merged"));
        QVERIFY(QFile::exists(merged.filePath() + '/' + name) && !QFile::exists(here->filePath(name)));
        QVERIFY((merged.permissions() & 0x077) == 0 && QFile::exists(here->filePath("vy (copy).bdb")));
    }
};

QTEST_GUILESS_MAIN(SyncTest)
#include "tst_sync.moc"
