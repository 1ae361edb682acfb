// Password exports read from real files: the four layouts with the hard cases of CSV and the refusals, the reasons
// a row is skipped, and an export read back into an empty wallet.
#include "exportfile.h"
#include "importpreview.h"
#include "passwordfile.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

QString written(const QTemporaryDir &dir, const QByteArray &bytes)
{
    QFile f(dir.filePath("passwords.csv"));
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() ? f.fileName() : QString();
}

// The layout, then what the import would add ("name|url|id|password") and skip ("row: reason"); or the refusal.
QString previewed(const QByteArray &bytes, const QList<WebsiteProfile> &stored = {})
{
    QTemporaryDir dir;
    const PasswordFile file = readPasswordFile(written(dir, bytes));
    if (!file.error.isEmpty())
        return "refused: " + file.error;
    const ImportPreview preview = previewImport(file, stored);
    QStringList lines {file.layout};
    for (const WebsiteProfile &p : preview.profiles)
        lines << QStringList {p.Name, p.URL, p.ID, p.Password}.join('|');
    for (const SkippedRow &s : preview.skipped)
        lines << QString("%1: %2").arg(s.row).arg(s.reason);
    return lines.join('\n');
}

} // namespace

class tst_Transfer : public QObject
{
    Q_OBJECT
private slots:
    void layouts_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Chromium: BOM, CRLF, quotes, commas and line breaks in cells, no name")
            << QByteArray("\xEF\xBB\xBFname,url,username,password,note\r\n\"Mail, Inc.\",https://mail.example/in,jane,"
                          "\"pa\"\"ss,\r\nword \",\"two\r\nlines\"\r\n,https://b.example/x,,pw2,\r\n\r\n")
            << "Chromium\nMail, Inc.|https://mail.example/in|jane|pa\"ss,\r\nword \nb.example|https://b.example/x||pw2";
        QTest::newRow("Chromium without notes: LF, no end of line")
            << QByteArray("name,url,username,password\nA,http://a.example/,ann,\"x\"")
            << "Chromium\nA|http://a.example/|ann|x";
        QTest::newRow("Firefox: every cell quoted, named by the host")
            << QByteArray(
                   "\"url\",\"username\",\"password\",\"httpRealm\",\"formActionOrigin\",\"guid\",\"timeCreated\","
                   "\"timeLastUsed\",\"timePasswordChanged\"\n\"https://shop.example\",\"bob\",\"s3cr\"\"et\",,"
                   "\"https://shop.example\",\"{a-1}\",\"1\",\"2\",\"3\"\n")
            << "Firefox\nshop.example|https://shop.example|bob|s3cr\"et";
        QTest::newRow("KeePassXC: further columns, an address without its scheme")
            << QByteArray("\"Group\",\"Title\",\"Username\",\"Password\",\"URL\",\"Notes\",\"TOTP\",\"Icon\"\n\"Root\","
                          "\"Bank\",\"carl\",\"p,w\",\"bank.example/login\",\"line 1\nline 2\",\"\",\"0\"\n")
            << "KeePassXC\nBank|https://bank.example/login|carl|p,w";
        QTest::newRow("Bitwarden: logins only, the first of their addresses")
            << QByteArray("folder,favorite,type,name,notes,fields,reprompt,login_uri,login_username,login_password,"
                          "login_totp\r\n,,note,Memo,\"secret\r\nnote\",,0,,,,\r\nWork,1,login,Forum,,,0,"
                          "\"https://forum.example/,https://alt.example/\",dan,hunter2,\r\n")
            << "Bitwarden\nForum|https://forum.example/|dan|hunter2\n2: a note, not a login";
        QTest::newRow("unknown header") << QByteArray("user,pass\nx,y\n")
                                        << "refused: Its first row is not the header of a known password export.";
        QTest::newRow("binary") << QByteArray("name,url,username,password\n\0\x01", 30)
                                << "refused: The file is not a text file.";
        QTest::newRow("not UTF-8") << QByteArray("name,url,username,password\nJos\xE9,http://a/,b,c\n")
                                   << "refused: The file is not a text file in UTF-8";
        QTest::newRow("quote never closed") << QByteArray("name,url,username,password\nA,\"http://a/,b,c\nB,u,i,p\n")
                                            << "refused: The file is not a valid CSV file: in row 2 a quoted field";
        QTest::newRow("too few cells") << QByteArray("name,url,username,password\nA,http://a/,b,c\nA,http://a/,b\n")
                                       << "refused: Row 3 has 3 cells where the header row has 4";
        QTest::newRow("empty") << QByteArray("\xEF\xBB\xBF") << "refused: The file is empty.";
    }
    void layouts()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, expected);
        const QString actual = previewed(file);
        QVERIFY2(actual.startsWith(expected), qPrintable(actual));
    }

    void tooLargeIsRefused()
    {
        QTemporaryDir dir;
        QFile big(written(dir, "name,url,username,password\n"));
        QVERIFY(big.resize(kLargestPasswordFile + 1));
        QCOMPARE(readPasswordFile(big.fileName()).error,
                 "The file is larger than 50 MB; a password export is far smaller.");
    }

    void skipReasons()
    {
        const QByteArray rows = "name,url,username,password\n"
                                "Again,https://old.example/,ann,other\n"
                                ",https://new.example/,bob,pw\n"
                                "Twice,https://new.example/,bob,pw2\n"
                                "\xC3\x85ngstr\xC3\xB6m,https://new.example/,carl,\xE2\x82\xACuro\n"
                                "\xC4\xB2,https://x.example/,eve,pw\n"
                                "A,https://x.example/,fay,\xCF\x89\n"
                                "A,,gil,pw\n"
                                "A,https://x.example/,hal,\n" +
            QByteArray(257, 'n') + ",https://x.example/,ida,pw\nA,https://x.example/" + QByteArray(1010, 'u') +
            ",jo,pw\nA,android://key@com.example.app/,kim,pw\n";
        QCOMPARE(previewed(rows, {{"Old", "https://old.example/", "ann", "pw", "", true}}).split('\n'),
                 QStringList({"Chromium", "new.example|https://new.example/|bob|pw",
                              "Ångström|https://new.example/|carl|€uro",
                              "2: the same address and login name as the profile \"Old\"",
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
        QTemporaryDir from, to, broken;
        clsAgentDB source(from.path()), target(to.path()), unwritable(broken.path());
        source.AddWebsiteProfile(false, "Mail, Inc.", "https://mail.example/?a=1,2", "jane \"JD\"", " pa,\"ss\"\n2 ",
                                 "");
        source.AddWebsiteProfile(false, "Café €", "http://cafe.example/", "", " p ", ""); // other readers trim blanks
        QVERIFY(source.SaveDB());
        const QString path = written(to, "old");
        QVERIFY(QFile::setPermissions(path, QFile::permissions(path) | QFile::ReadOther | QFile::ReadGroup));
        QCOMPARE(exportProfiles(source, path), QString());
        QCOMPARE(QFile::permissions(path), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
        QFile exported(path);
        QVERIFY(exported.open(QIODevice::ReadOnly) && exported.readAll().endsWith(",\" p \"\n"));
        QFile wallet(source.DBFile());
        const QByteArray walletBytes = wallet.open(QIODevice::ReadOnly) ? wallet.readAll() : QByteArray();
        wallet.close();
        QCOMPARE(exportProfiles(source, from.path() + "/./vy.bdb"), "\"vy.bdb\" is one of Vaultry's own files.");
        QVERIFY(wallet.open(QIODevice::ReadOnly) && wallet.readAll() == walletBytes);

        const ImportPreview preview = previewImport(readPasswordFile(path), {});
        QVERIFY(QDir(broken.path()).mkpath("vy.bdb/keep")); // a save that fails puts the store back
        QVERIFY(!importProfiles(unwritable, preview) && unwritable.WebsiteProfileCount() == 0);
        QVERIFY(importProfiles(target, preview));
        clsAgentDB reopened(to.path());
        QVERIFY(reopened.OpenDB());
        QCOMPARE(reopened.Profiles(), source.Profiles());
    }
};

QTEST_GUILESS_MAIN(tst_Transfer)
#include "tst_transfer.moc"
