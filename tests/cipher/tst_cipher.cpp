// The block cipher against FIPS-197 and OpenSSL, its framings of arrays and files, and code page 1252.
#include "aescipher.h"
#include "cp1252.h"

#include <QtTest>
#include <fstream>
#include <openssl/evp.h>
#include <random>

class TestCipher : public QObject
{
    Q_OBJECT

    const ByteArray key = bytes(QByteArray::fromHex("2b7e151628aed2a6abf7158809cf4f3c"));
    AesCipher aes;
    QTemporaryDir dir;
    static constexpr auto zeroFilled = AesCipher::Framing::ZeroFilled, lengthByte = AesCipher::Framing::LengthByte;

    static ByteArray bytes(const QByteArray &b) { return {b.begin(), b.end()}; }
    // The independent reference: AES-ECB of whole blocks by OpenSSL, without padding.
    static ByteArray openssl(bool encrypt, const ByteArray &key, const ByteArray &input)
    {
        const std::string name = "aes-" + std::to_string(key.size() * 8) + "-ecb";
        EVP_CIPHER_CTX *ctx = EVP_CIPHER_CTX_new();
        ByteArray output(input.size());
        int written = 0;
        EVP_CipherInit_ex(ctx, EVP_get_cipherbyname(name.c_str()), nullptr, key.data(), nullptr, encrypt);
        EVP_CIPHER_CTX_set_padding(ctx, 0);
        EVP_CipherUpdate(ctx, output.data(), &written, input.data(), int(input.size()));
        EVP_CIPHER_CTX_free(ctx);
        return output;
    }
    static ByteArray random(std::size_t n, unsigned seed)
    {
        ByteArray b(n);
        std::generate(b.begin(), b.end(), std::mt19937(seed));
        return b;
    }
    std::string path(const char *name) const { return dir.filePath(name).toStdString(); }
    ByteArray read(const char *name) const
    {
        std::ifstream in(path(name));
        return {std::istreambuf_iterator<char>(in), {}};
    }
    void write(const char *n, const ByteArray &b) const { std::ofstream(path(n)).write((char *)b.data(), b.size()); }

private slots:
    void init() { QVERIFY(aes.setKey(key, 128)); }
    // FIPS-197 appendix C, whose key is the bytes 00, 01, 02 and so on; then 50 random keys against OpenSSL, four
    // blocks each, both ways, into another array at an offset and in place.
    void block_data()
    {
        QTest::addColumn<int>("keyBits");
        QTest::addColumn<QByteArray>("fips");
        QTest::newRow("C.1") << 128 << QByteArray("69c4e0d86a7b0430d8cdb78070b4c55a");
        QTest::newRow("C.2") << 192 << QByteArray("dda97ca4864cdfe06eaf70a0ec0d7191");
        QTest::newRow("C.3") << 256 << QByteArray("8ea2b7ca516745bfeafc49904b496089");
    }
    void block()
    {
        QFETCH(int, keyBits);
        QFETCH(QByteArray, fips);
        const ByteArray plain = bytes(QByteArray::fromHex("00112233445566778899aabbccddeeff"));
        ByteArray fipsKey(keyBits / 8), block = plain;
        std::iota(fipsKey.begin(), fipsKey.end(), 0);
        QVERIFY(aes.setKey(fipsKey, keyBits) && aes.encryptBlock(block, 0, block, 0));
        QCOMPARE(block, bytes(QByteArray::fromHex(fips)));
        QVERIFY(aes.decryptBlock(block, 0, block, 0));
        QCOMPARE(block, plain);
        for (unsigned n = 0; n < 50; ++n) {
            const ByteArray k = random(keyBits / 8, n), text = random(64, ~n), expected = openssl(true, k, text);
            const int shift = int(n % 7);
            ByteArray cipher(64 + shift), back(64 + shift), inPlace = text, backInPlace = expected;
            aes.setKey(k, keyBits);
            for (int i = 0; i < 64; i += 16) {
                aes.encryptBlock(text, i, cipher, i + shift);
                aes.encryptBlock(inPlace, i, inPlace, i);
                aes.decryptBlock(expected, i, back, i + shift);
                aes.decryptBlock(backInPlace, i, backInPlace, i);
            }
            QVERIFY(ByteArray(cipher.begin() + shift, cipher.end()) == expected && inPlace == expected);
            QVERIFY(ByteArray(back.begin() + shift, back.end()) == text && backInPlace == text);
        }
    }
    // Each refusal says why and changes nothing: the key set before stays in force (deciphers "bad" below), no output
    // is written. A length byte of 16 or more (a wrong key) is refused by both forms, yet every deciphered byte given
    // back; a file is never written onto itself, which would empty it before it is read.
    void refusals()
    {
        ByteArray out {1, 2, 3}, good(16);
        std::string error;
        const auto refused = [&](bool done, const std::string &why) {
            return !done && error.find(why) == 0;
        };
        for (int keyBits : {160, 0, -128, 129})
            QVERIFY(refused(aes.setKey(ByteArray(32, 0xA5), keyBits, &error), "cRijndael.SetCipherKey - Illegal"));
        QVERIFY(refused(aes.setKey(ByteArray(16), 192, &error), "cRijndael.SetCipherKey - key array shorter"));
        for (auto [size, offset] : {std::pair {15, 0}, {0, 0}, {32, 17}, {32, -1}, {32, 0x7FFFFFF0}}) {
            ByteArray bad(size, 7);
            QVERIFY(refused(aes.encryptBlock(bad, offset, good, 0, &error), "cRijndael.BlockEncrypt - block outside"));
            QVERIFY(!aes.encryptBlock(good, 0, bad, offset) && !aes.decryptBlock(good, 0, bad, offset));
            QVERIFY(refused(aes.decryptBlock(bad, offset, good, 0, &error), "cRijndael.BlockDecrypt - block outside"));
            QVERIFY(good == ByteArray(16) && bad == ByteArray(size, 7));
        }
        QVERIFY(refused(aes.encrypt(ByteArray(), out, lengthByte, &error), "cRijndael.ArrayEncrypt - plaintext has"));
        QVERIFY(refused(aes.decrypt(ByteArray(), out, lengthByte, &error), "cRijndael.ArrayDecrypt - ciphertext has"));
        QVERIFY(
            refused(aes.decrypt(ByteArray(20), out, zeroFilled, &error), "ciphertext size not a multiple of block"));
        QVERIFY(out.size() == 3);
        write("0", {}), write("20", ByteArray(20));
        for (const char *name : {"0", "20"})
            QVERIFY(refused(aes.decryptFile(path(name), path("out"), &error), "File Size Error - ciphertext file"));
        QVERIFY(refused(aes.encryptFile(path("none"), path("out"), &error), "cannot read the size of"));
        QVERIFY(!QFile::exists(dir.filePath("out")));
        write("bad", openssl(true, key, ByteArray(32, 0x10)));
        QVERIFY(refused(aes.encryptFile(path("bad"), path("bad"), &error), "cRijndael.FileEncrypt - input and output"));
        QVERIFY(refused(aes.decryptFile(path("bad"), path("bad"), &error), "cRijndael.FileDecrypt - input and output"));
        QVERIFY(refused(aes.decrypt(read("bad"), out, lengthByte, &error), "warning - incorrect length field"));
        QVERIFY(refused(aes.decryptFile(path("bad"), path("back"), &error), "warning - incorrect length field in"));
        QVERIFY(out == ByteArray(32, 0x10) && read("back") == out);
    }
    // Arrays in either form, into another array and in place; files in the length-byte form, replacing longer ones,
    // through a buffer of 4,000,000 bytes, which 3,999,990 fill exactly and 4,000,000 spill over by one block.
    void framing_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("appendsize"); // the length byte
        for (int length : {15, 16, 17})
            QTest::addRow("zero-filled %d", length) << length << false;
        for (int length : {0, 15, 16, 17, 3999990, 4000000})
            QTest::addRow("length byte %d", length) << length << true;
    }
    void framing()
    {
        QFETCH(int, length);
        QFETCH(bool, appendsize);
        const auto framing = appendsize ? lengthByte : zeroFilled;
        const ByteArray plain = random(length, length);
        ByteArray expected = plain, cipher, same = plain, back;
        expected.resize(appendsize ? length / 16 * 16 + 16 : (length + 15) / 16 * 16);
        expected.back() = appendsize ? length % 16 : expected.back();
        if (length > 0) {
            QVERIFY(aes.encrypt(plain, cipher, framing) && aes.encrypt(same, same, framing));
            QVERIFY(cipher == openssl(true, key, expected) && same == cipher);
        }
        if (appendsize != 0) {
            write("plain", plain), write("cipher", ByteArray(5000, 0xCC)), write("back", ByteArray(5000, 0xCC));
            QVERIFY(aes.encryptFile(path("plain"), path("cipher")) && aes.decryptFile(path("cipher"), path("back")));
            QVERIFY((cipher = read("cipher")) == openssl(true, key, expected) && read("back") == plain);
        }
        QVERIFY(aes.decrypt(cipher, back, framing) && aes.decrypt(cipher, cipher, framing));
        QVERIFY(back == (appendsize ? plain : expected) && cipher == back);
    }
    void codePage1252()
    {
        // Bytes 0..255: Latin-1 but for 0x80..0x9F, written out as printed; the five unassigned stand for themselves.
        ByteArray all(256), cipher(16);
        std::u16string text(256, 0);
        std::iota(all.begin(), all.end(), 0), std::iota(text.begin(), text.end(), 0);
        text.replace(0x80, 32, u"€\u0081‚ƒ„…†‡ˆ‰Š‹Œ\u008DŽ\u008F\u0090‘’“”•–—˜™š›œ\u009DžŸ");
        QVERIFY(cp1252::toUtf16(all) == text && cp1252::canEncode(text) && cp1252::fromUtf16(text) == all);
        // What the code page lacks is refused, and becomes one '?' a character.
        for (const auto &[unfit, bytes] : {std::pair {u"a\u0080b", "a?b"}, {u"x😀y", "x?y"}, {u"x\xD83D", "x?"}})
            QVERIFY(!cp1252::canEncode(unfit) && cp1252::fromUtf16(unfit) == ByteArray(bytes, bytes + strlen(bytes)));
        // A pass phrase: the code page, '?' for what it lacks, zero bytes to 32.
        QVERIFY(aes.setKeyFromPassPhrase(u"€é™Ω", 256) && aes.encryptBlock(ByteArray(16), 0, cipher, 0));
        QCOMPARE(cipher, openssl(true, bytes(QByteArray("\x80\xe9\x99?").leftJustified(32, '\0')), ByteArray(16)));
    }
};

QTEST_GUILESS_MAIN(TestCipher)
#include "tst_cipher.moc"
