// Password exports read from real files: the four layouts with the hard cases of CSV and the refusals, the reasons
// a row is skipped, and an export read back into an empty wallet.
#include "exportfile.h"
#include "importpreview.h"
#include "passwordfile.h"
#include "profilestore.h"

#include <QtTest>

namespace {

QString written(const QTemporaryDir &dir, const QByteArray &bytes)
{
    QFile f(dir.filePath("passwords.csv"));
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() ? f.fileName() : QString();
}

// The layout of a file in tests/data/transfer, then what the import would add ("name|url|id|password") and skip
// ("row: reason"); or the refusal.
QString previewed(const QString &name, const QList<WebsiteProfile> &stored = {})
{
    PasswordFile file;
    QString error;
    if (!readPasswordFile(QFINDTESTDATA("../data/transfer/" + name), &file, &error))
        return "refused: " + error;
    QTemporaryDir folder;
    ProfileStore store(folder.path());
    if (!store.add(stored))
        return "the store cannot be written";
    const ImportPreview preview = previewImport(file, store);
    QStringList lines {file.layout};
    for (const WebsiteProfile &p : preview.profiles)
        lines << QStringList {p.name, p.url, p.loginName, p.password}.join('|');
    for (const SkippedRow &s : preview.skipped)
        lines << QString("%1: %2").arg(s.row).arg(s.reason);
    return lines.join('\n');
}

} // namespace

class tst_Transfer : public QObject
{
    Q_OBJECT
private slots:
    // The four layouts with the hard cases of CSV (a byte-order mark, CRLF, quotes, commas and line breaks in cells,
    // no end of line, further columns, an address without its scheme, several addresses), then the refusals.
    void layouts_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char *file, const QString &expected) {
            QTest::newRow(file) << file << expected;
        };
        row("chromium.csv",
            "Chromium\nMail, Inc.|https://mail.example/in|jane|pa\"ss,\r\nword \nb.example|https://b.example/x||pw2");
        row("chromium-lf.csv", "Chromium\nA|http://a.example/|ann|x");
        row("firefox.csv", "Firefox\nshop.example|https://shop.example|bob|s3cr\"et");
        row("keepassxc.csv", "KeePassXC\nBank|https://bank.example/login|carl|p,w");
        row("bitwarden.csv", "Bitwarden\nForum|https://forum.example/|dan|hunter2\n2: a note, not a login");
        row("unknown-header.csv", "refused: Its first row is not the header of a known password export.");
        row("binary.csv", "refused: The file is not a text file.");
        row("latin1.csv", "refused: The file is not a text file in UTF-8");
        row("unclosed-quote.csv", "refused: The file is not a valid CSV file: in row 2 a quoted field");
        row("too-few-cells.csv", "refused: Row 3 has 3 cells where the header row has 4");
        row("too-many-cells.csv", "refused: Row 3 has 5 cells where the header row has 4");
        row("empty.csv", "refused: The file is empty.");
    }
    void layouts()
    {
        QFETCH(QString, file);
        QFETCH(QString, expected);
        const QString actual = previewed(file);
        QVERIFY2(actual.startsWith(expected), qPrintable(actual));
    }

    void tooLargeIsRefused()
    {
        QTemporaryDir dir;
        QFile big(written(dir, "name,url,username,password\n"));
        QVERIFY(big.resize(kLargestPasswordFile + 1));
        PasswordFile file;
        QString error;
        QVERIFY(!readPasswordFile(big.fileName(), &file, &error));
        QCOMPARE(error, "The file is larger than 50 MB; a password export is far smaller.");
    }

    void skipReasons()
    {
        QCOMPARE(previewed("skipped.csv",
                           {{"Older", "https://old.example/", "ann", "pw", "", true},
                            {"Old", "https://old.example/", "ann", "pw", "", true}})
                     .split('\n'),
                 QStringList({"Chromium", "new.example|https://new.example/|bob|pw",
                              "Ångström|https://new.example/|carl|€uro",
                              "2: the same address and login name as the profile \"Older\"",
                              "4: the same address and login name as row 3",
                              "6: \"name\" holds characters that Vaultry cannot store",
                              "7: \"password\" holds characters that Vaultry cannot store", "8: no address",
                              "9: no password", "10: \"name\" is longer than 256 characters, the most a profile takes",
                              "11: \"url\" is longer than 1024 characters, the most a profile takes",
                              "12: android://key@com.example.app/ is not the address of a web page"}));
    }

    // Export, then import into an empty wallet: the same profiles. The file is its owner's alone, even where a
    // readable file lay before, and the wallet's own file is never written over.
    void exportThenImport()
    {
        QTemporaryDir from, to;
        ProfileStore source(from.path()), target(to.path());
        QVERIFY(source.add({{"Mail, Inc.", "https://mail.example/?a=1,2", "jane \"JD\"", " pa,\"ss\"\n2 ", ""},
                            {"Café €", "http://cafe.example/", "", " p ", ""}})); // other readers trim blanks
        const QString path = written(to, "old");
        QVERIFY(QFile::setPermissions(path, QFile::permissions(path) | QFile::ReadOther | QFile::ReadGroup));
        QVERIFY(exportProfiles(source.profiles(), path, {}));
        QCOMPARE(QFile::permissions(path), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
        QFile exported(path);
        QVERIFY(exported.open(QIODevice::ReadOnly) && exported.readAll().endsWith(",\" p \"\n"));
        QFile wallet(source.walletPath());
        const QByteArray walletBytes = wallet.open(QIODevice::ReadOnly) ? wallet.readAll() : QByteArray();
        wallet.close();
        QString error;
        const QStringList own {from.filePath("vy.ini"), source.walletPath()};
        QVERIFY(!exportProfiles(source.profiles(), from.path() + "/./vy.bdb", own, &error));
        QCOMPARE(error, "\"vy.bdb\" is one of Vaultry's own files.");
        QVERIFY(wallet.open(QIODevice::ReadOnly) && wallet.readAll() == walletBytes);
        QVERIFY(!exportProfiles(source.profiles(), from.filePath("none/out.csv"), own, &error) && !error.isEmpty());

        PasswordFile file;
        QVERIFY(readPasswordFile(path, &file));
        QVERIFY(target.add(previewImport(file, target).profiles));
        ProfileStore reopened(to.path());
        QVERIFY(reopened.open());
        QCOMPARE(reopened.profiles(), source.profiles());
    }
};

QTEST_GUILESS_MAIN(tst_Transfer)
#include "tst_transfer.moc"
