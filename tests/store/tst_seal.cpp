// A wallet sealed under the master password; OpenSSL's AES-128-ECB reads the described file inside as the reference.
#include "profilestore.h"
#include "settings.h"
#include "walletsealing.h"

#include <QtTest>

#include <openssl/evp.h>

class SealTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    Settings settings {dir.path()};
    const Enrolment enrolment {"alice", "Secret7", "0.1 % "};
    const WebsiteProfile profile {"Bank", "https://bank.example/", "alice@bank", "Pass-9-Word", "", true};

    QByteArray read() const
    {
        QFile file(dir.filePath("vy.bdb"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    bool write(const QByteArray &bytes) const
    {
        QFile file(dir.filePath("vy.bdb"));
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }
    // The whole blocks of bytes deciphered under the program's fixed key.
    static QByteArray described(const QByteArray &bytes)
    {
        const unsigned char key[16] = {'k', 'e', 'x', '7', 'v', 'o', 'l', 'd', '4', 'a', 'm', '9'};
        QByteArray out(bytes.size() / 16 * 16, 0);
        int written = 0;
        EVP_CIPHER_CTX *ctx = EVP_CIPHER_CTX_new();
        EVP_DecryptInit_ex(ctx, EVP_aes_128_ecb(), nullptr, key, nullptr);
        EVP_CIPHER_CTX_set_padding(ctx, 0);
        EVP_DecryptUpdate(ctx, reinterpret_cast<unsigned char *>(out.data()), &written,
                          reinterpret_cast<const unsigned char *>(bytes.constData()), int(out.size()));
        EVP_CIPHER_CTX_free(ctx);
        return out;
    }
    // A wallet with one profile, sealed by turning the setting on; the described file it held before.
    QByteArray sealedWallet(ProfileStore &store)
    {
        const bool made = store.setEnrolment(enrolment) && store.add(profile);
        const QByteArray plain = read();
        return made && walletsealing::turn(store, settings, true) && settings.sealWallet() ? plain : QByteArray();
    }

private slots:
    void init() { QVERIFY(!QFile::exists(dir.filePath("vy.bdb")) || QFile::remove(dir.filePath("vy.bdb"))); }

    // Sealed, nothing of the wallet is readable, under the fixed key or without it; it opens with the master password
    // alone, and nothing is written before. Turned off, it is the described file again, byte for byte.
    void sealAndUnseal()
    {
        ProfileStore store(dir.path());
        const QByteArray plain = sealedWallet(store), sealed = read();
        QVERIFY(described(plain).startsWith(QByteArray("alice9\0Secret79\0", 16)) && sealed.startsWith("VYSEALED"));
        for (const QByteArray secret : {"Secret7", "Pass-9-Word", "alice@bank", "bank.example"})
            QVERIFY(!sealed.contains(secret) && !described(sealed).contains(secret) &&
                    described(plain).contains(secret));
        ProfileStore other(dir.path());
        QVERIFY(other.open() && other.isLocked() && other.profiles().isEmpty());
        QVERIFY(!other.unlock("Secret8") && !other.add(profile) && read() == sealed);
        QVERIFY(other.unlock("Secret7") && !other.isLocked() && other.enrolment().userName == "alice");
        QVERIFY(other.profiles() == store.profiles() && other.setEnrolment(other.enrolment()));
        // Every save under a fresh nonce, the salt and key kept.
        QVERIFY(read().left(34) == sealed.left(34) && read().mid(34, 24) != sealed.mid(34, 24));
        QVERIFY(walletsealing::turn(store, settings, false) && !settings.sealWallet() && read() == plain);
        // At sign-in the wallet follows the setting, but a missing one keeps the seal (and is written on).
        QVERIFY(walletsealing::turn(store, settings, true) && QFile::remove(settings.path()));
        QVERIFY(walletsealing::followSetting(store, settings) && settings.sealWallet() && store.isSealed());
        QVERIFY(store.setSealed(false) && walletsealing::followSetting(store, settings) && store.isSealed());
        settings.setSealWallet(false);
        QVERIFY(walletsealing::followSetting(store, settings) && !store.isSealed() && read() == plain);
    }
    // A new master password seals anew under a new salt and keeps every profile.
    void newMasterPassword()
    {
        ProfileStore store(dir.path());
        QVERIFY(!sealedWallet(store).isEmpty());
        const QByteArray salt = read().mid(18, 16);
        QVERIFY(store.setEnrolment({"alice", "Newpass8", "0.2 % "}) && read().mid(18, 16) != salt);
        ProfileStore other(dir.path());
        QVERIFY(other.open() && !other.unlock("Secret7") && other.unlock("Newpass8"));
        QVERIFY(other.profiles() == QList {profile} && other.enrolment().masterPassword == "Newpass8");
    }
    // A changed byte anywhere is refused and the file kept as it was: a header that cannot be read (nor any
    // enrolment take its place), or a file the master password does not open.
    void changedByte_data()
    {
        QTest::addColumn<int>("at"); // from the end when negative
        QTest::addColumn<QString>("refusal"); // of the header, or empty: the password does not open it
        QTest::newRow("magic") << 0 << "damaged";
        QTest::newRow("version") << 8 << "newer version of Vaultry (format 129)";
        for (const auto &[name, at] : {std::pair {"algorithm", 9}, {"passes", 10}, {"memory", 17}})
            QTest::newRow(name) << at << "damaged";
        for (const auto &[name, at] : {std::pair {"salt", 18}, {"nonce", 57}, {"body", 1000}, {"tag", -1}})
            QTest::newRow(name) << at << "";
    }
    void changedByte()
    {
        QFETCH(int, at);
        QFETCH(QString, refusal);
        ProfileStore store(dir.path());
        QVERIFY(!sealedWallet(store).isEmpty());
        QByteArray bytes = read();
        bytes[at < 0 ? bytes.size() + at : at] = char(bytes[at < 0 ? bytes.size() + at : at] ^ 0x80);
        QVERIFY(write(bytes));
        QString error;
        ProfileStore other(dir.path());
        QCOMPARE(other.open(&error), refusal.isEmpty());
        QVERIFY(refusal.isEmpty() ? !other.unlock("Secret7") : error.contains(refusal));
        QVERIFY(other.sealedWalletRefused() == !refusal.isEmpty() && !other.foundUnreadableWallet());
        QVERIFY(!other.setEnrolment(enrolment) && read() == bytes);
    }
};

QTEST_GUILESS_MAIN(SealTest)
#include "tst_seal.moc"
