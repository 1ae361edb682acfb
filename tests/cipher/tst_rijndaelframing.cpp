#include "cipherhelpers.h"

#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <random>

namespace fs = std::filesystem;

namespace {

const ByteArray kKey = fromHex("2b7e151628aed2a6abf7158809cf4f3c");

ByteArray randomBytes(std::size_t n, unsigned seed)
{
    std::mt19937 random(seed);
    ByteArray bytes(n);
    for (auto &b : bytes)
        b = std::uint8_t(random());
    return bytes;
}

// The length-byte form built by hand: content, zero bytes, L mod 16.
ByteArray lengthByteForm(const ByteArray &plain)
{
    ByteArray framed(16 * (plain.size() / 16 + 1), 0x00);
    std::copy(plain.begin(), plain.end(), framed.begin());
    framed.back() = std::uint8_t(plain.size() % 16);
    return framed;
}

ByteArray readFile(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return ByteArray(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const fs::path &path, const ByteArray &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
}

} // namespace

class TestRijndaelFraming : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        m_messages.clear();
        m_aes.SetMessageCallback([this](const std::string &message) { m_messages.push_back(message); });
        m_aes.SetCipherKey(kKey, 128);
    }

    void arrayRoundTrip_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("appendsize");
        QTest::addColumn<int>("cipherLength");
        QTest::addColumn<int>("plainLength");
        QTest::newRow("zero-filled 1") << 1 << 0 << 16 << 16;
        QTest::newRow("zero-filled 15") << 15 << 0 << 16 << 16;
        QTest::newRow("zero-filled 16") << 16 << 0 << 16 << 16;
        QTest::newRow("zero-filled 17") << 17 << 0 << 32 << 32;
        QTest::newRow("zero-filled 3000") << 3000 << 0 << 3008 << 3008;
        QTest::newRow("length byte 1") << 1 << 1 << 16 << 1;
        QTest::newRow("length byte 15") << 15 << 1 << 16 << 15;
        QTest::newRow("length byte 16") << 16 << 1 << 32 << 16;
        QTest::newRow("length byte 17") << 17 << 1 << 32 << 17;
        QTest::newRow("length byte 31") << 31 << -1 << 32 << 31;
        QTest::newRow("length byte 32") << 32 << 7 << 48 << 32;
    }

    void arrayRoundTrip()
    {
        QFETCH(int, length);
        QFETCH(int, appendsize);
        QFETCH(int, cipherLength);
        QFETCH(int, plainLength);
        const ByteArray plain = randomBytes(std::size_t(length), unsigned(length));

        ByteArray cipher {1, 2, 3};
        QCOMPARE(m_aes.ArrayEncrypt(plain, cipher, appendsize), 0);
        QCOMPARE(int(cipher.size()), cipherLength);

        // Independent check: OpenSSL over the framed bytes.
        ByteArray framed;
        if (appendsize != 0) {
            framed = lengthByteForm(plain);
        } else {
            framed = plain;
            framed.resize(std::size_t(cipherLength), 0x00);
        }
        QVERIFY(cipher == opensslEcb(true, kKey, framed));

        ByteArray back {9};
        QCOMPARE(m_aes.ArrayDecrypt(back, cipher, appendsize), 0);
        QCOMPARE(int(back.size()), plainLength);
        QVERIFY(std::equal(plain.begin(), plain.end(), back.begin()));
        QVERIFY(std::all_of(back.begin() + length, back.end(), [](std::uint8_t b) { return b == 0; }));
        QVERIFY(m_messages.empty());

        // The same array in and out.
        ByteArray data = plain;
        QCOMPARE(m_aes.ArrayEncrypt(data, data, appendsize), 0);
        QVERIFY(data == cipher);
        QCOMPARE(m_aes.ArrayDecrypt(data, data, appendsize), 0);
        QVERIFY(data == back);
    }

    void arrayEdges()
    {
        ByteArray out {1, 2, 3};
        for (int appendsize : {0, 1}) {
            QVERIFY_THROWS_EXCEPTION(std::out_of_range, m_aes.ArrayEncrypt(ByteArray(), out, appendsize));
            QVERIFY_THROWS_EXCEPTION(std::out_of_range, m_aes.ArrayDecrypt(out, ByteArray(), appendsize));
            QVERIFY(m_messages.empty());
            QCOMPARE(m_aes.ArrayDecrypt(out, ByteArray(20, 0x41), appendsize), -1);
            QCOMPARE(m_messages, std::vector<std::string> {"ciphertext size not a multiple of block size"});
            QVERIFY((out == ByteArray {1, 2, 3}));
            m_messages.clear();
        }
        // Fifteen zero bytes and a 0 are the enciphered empty content (what enciphering an empty file writes).
        QCOMPARE(m_aes.ArrayDecrypt(out, opensslEcb(true, kKey, ByteArray(16, 0x00)), 1), 0);
        QVERIFY(out.empty());
        QVERIFY(m_messages.empty());
    }

    // Under another key the length byte is 16 or more in about 15 cases of 16; otherwise nothing is noticed.
    // The zero-filled form notices nothing at all.
    void wrongKey()
    {
        const ByteArray plain = randomBytes(40, 1);
        ByteArray cipher, zeroFilled;
        m_aes.ArrayEncrypt(plain, cipher, 1);
        m_aes.ArrayEncrypt(plain, zeroFilled, 0);

        clsRijndael other;
        other.SetMessageCallback([this](const std::string &m) { m_messages.push_back(m); });
        int refused = 0, unnoticed = 0;
        for (int keyNo = 0; keyNo < 400; ++keyNo) {
            const ByteArray wrongKey = randomBytes(16, unsigned(1000 + keyNo));
            other.SetCipherKey(wrongKey, 128);
            const ByteArray deciphered = opensslEcb(false, wrongKey, cipher);
            m_messages.clear();
            ByteArray back;
            const std::int32_t result = other.ArrayDecrypt(back, cipher, 1);
            if (deciphered.back() >= 16) {
                QCOMPARE(result, 1);
                QCOMPARE(m_messages, std::vector<std::string> {"warning - incorrect length field"});
                QVERIFY(back == deciphered);
                if (refused++ == 0) {
                    // A file gets its own warning but still receives every deciphered byte, length byte included.
                    writeFile(path("cipher"), cipher);
                    m_messages.clear();
                    QCOMPARE(other.FileDecrypt(path("back"), path("cipher")), 0);
                    QVERIFY(readFile(path("back")) == deciphered);
                    QCOMPARE(m_messages,
                             std::vector<std::string> {"warning - incorrect length field in decrypted "
                                                       "file.\r\nWrong key or keysize?"});
                }
            } else {
                QCOMPARE(result, 0);
                QVERIFY(m_messages.empty());
                QCOMPARE(back.size(), cipher.size() - 16 + deciphered.back());
                ++unnoticed;
            }
            m_messages.clear();
            QCOMPARE(other.ArrayDecrypt(back, zeroFilled, 0), 0);
            QCOMPARE(back.size(), std::size_t(48));
            QVERIFY(m_messages.empty());
        }
        QVERIFY(refused > 300);
        QVERIFY(unnoticed > 0);
    }

    void passPhraseKeys_data()
    {
        QTest::addColumn<QString>("phrase");
        QTest::addColumn<int>("keyBits");
        QTest::addColumn<QByteArray>("keyHex");
        QTest::newRow("empty gives the zero key") << QString() << 256 << QByteArray(64, '0');
        QTest::newRow("ascii, 128 bits") << QStringLiteral("Vaultry") << 128
                                         << QByteArray("5661756c747279000000000000000000");
        QTest::newRow("ascii, 192 bits") << QStringLiteral("0123456789abcdefghijklmnop") << 192
                                         << QByteArray("303132333435363738396162636465666768696a6b6c6d6e");
        QTest::newRow("40 characters, 256 bits")
            << QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789wxyz") << 256
            << QByteArray("4142434445464748494a4b4c4d4e4f505152535455565758595a303132333435");
        QTest::newRow("code page 1252") << QStringLiteral(u"\u20ac\u00e9\u2122x") << 128
                                        << QByteArray("80e99978000000000000000000000000");
        QTest::newRow("not in the code page")
            << QStringLiteral(u"\u0100a") << 128 << QByteArray("3f610000000000000000000000000000");
    }

    void passPhraseKeys()
    {
        QFETCH(QString, phrase);
        QFETCH(int, keyBits);
        QFETCH(QByteArray, keyHex);
        const ByteArray key = fromHex(keyHex.constData());
        QCOMPARE(int(key.size()), keyBits / 8);

        QCOMPARE(m_aes.SetCipherKeyString(phrase.toStdU16String(), keyBits), 0);
        const ByteArray plain = randomBytes(32, 4);
        ByteArray cipher(32);
        m_aes.BlockEncrypt(plain, cipher, 0, 0);
        m_aes.BlockEncrypt(plain, cipher, 16, 16);
        QVERIFY(cipher == opensslEcb(true, key, plain));
    }

    void passPhraseWithIllegalKeyBits()
    {
        QVERIFY_THROWS_EXCEPTION(RijndaelError, m_aes.SetCipherKeyString(u"secret", 160));
        ByteArray cipher;
        m_aes.ArrayEncrypt(ByteArray(16, 0), cipher, 0);
        QVERIFY(cipher == opensslEcb(true, kKey, ByteArray(16, 0)));
    }

    void fileRoundTrip_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("cipherLength");
        QTest::newRow("empty") << 0 << 16;
        QTest::newRow("1") << 1 << 16;
        QTest::newRow("15") << 15 << 16;
        QTest::newRow("16") << 16 << 32;
        QTest::newRow("3,999,990 in one chunk") << 3999990 << 4000000;
        QTest::newRow("4,000,000 in two chunks") << 4000000 << 4000016;
        QTest::newRow("4,000,016") << 4000016 << 4000032;
        QTest::newRow("8,000,001") << 8000001 << 8000016;
    }

    void fileRoundTrip()
    {
        QFETCH(int, length);
        QFETCH(int, cipherLength);
        const ByteArray plain = randomBytes(std::size_t(length), unsigned(length) + 11);
        writeFile(path("plain"), plain);
        // Longer files already in place are replaced whole.
        writeFile(path("cipher"), ByteArray(1000, 0xCC));
        writeFile(path("back"), ByteArray(1000, 0xCC));

        QCOMPARE(m_aes.FileEncrypt(path("plain"), path("cipher")), 0);
        const ByteArray cipher = readFile(path("cipher"));
        QCOMPARE(int(cipher.size()), cipherLength);
        QVERIFY(cipher == opensslEcb(true, kKey, lengthByteForm(plain)));

        QCOMPARE(m_aes.FileDecrypt(path("back"), path("cipher")), 0);
        QVERIFY(readFile(path("back")) == plain);
        QVERIFY(readFile(path("plain")) == plain);
        QVERIFY(m_messages.empty());
    }

    void fileSizeErrors_data()
    {
        QTest::addColumn<int>("length");
        QTest::newRow("empty") << 0;
        QTest::newRow("20 bytes") << 20;
        QTest::newRow("4,000,001 bytes") << 4000001;
    }

    void fileSizeErrors()
    {
        QFETCH(int, length);
        writeFile(path("cipher"), ByteArray(std::size_t(length), 0x5A));
        fs::remove(path("absent"));
        writeFile(path("existing"), ByteArray(5, 0x01));

        QCOMPARE(m_aes.FileDecrypt(path("absent"), path("cipher")), 1);
        QCOMPARE(m_aes.FileDecrypt(path("existing"), path("cipher")), 1);
        QVERIFY(!fs::exists(path("absent")));
        QVERIFY(readFile(path("existing")) == ByteArray(5, 0x01));
        const std::string text = "File Size Error - ciphertext file not a multiple of block size";
        QCOMPARE(m_messages, (std::vector<std::string> {text, text}));
    }

    // A missing input creates no output; a file onto itself would be emptied before it is read.
    void unusableFilesAreRefused()
    {
        QVERIFY_THROWS_EXCEPTION(fs::filesystem_error, m_aes.FileEncrypt(path("nothing"), path("out1")));
        QVERIFY_THROWS_EXCEPTION(fs::filesystem_error, m_aes.FileDecrypt(path("out2"), path("nothing")));
        QVERIFY(!fs::exists(path("out1")));
        QVERIFY(!fs::exists(path("out2")));

        const ByteArray plain = randomBytes(48, 7);
        writeFile(path("same"), plain);
        QVERIFY_THROWS_EXCEPTION(fs::filesystem_error, m_aes.FileEncrypt(path("same"), path("same")));
        QVERIFY_THROWS_EXCEPTION(fs::filesystem_error, m_aes.FileDecrypt(path("same"), path("same")));
        QVERIFY(readFile(path("same")) == plain);
    }

private:
    clsRijndael m_aes;
    std::vector<std::string> m_messages;
    QTemporaryDir m_dir;
    fs::path path(const char *name) const { return fs::path(m_dir.path().toStdString()) / name; }
};

QTEST_GUILESS_MAIN(TestRijndaelFraming)
#include "tst_rijndaelframing.moc"
