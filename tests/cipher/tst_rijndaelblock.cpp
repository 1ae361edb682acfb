#include "cipherhelpers.h"

#include <random>

class TestRijndaelBlock : public QObject
{
    Q_OBJECT

private slots:
    void fipsVectors_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<int>("keyBits");
        QTest::addColumn<QByteArray>("cipher");
        QTest::newRow("C.1 AES-128") << QByteArray("000102030405060708090a0b0c0d0e0f") << 128
                                     << QByteArray("69c4e0d86a7b0430d8cdb78070b4c55a");
        QTest::newRow("C.2 AES-192") << QByteArray("000102030405060708090a0b0c0d0e0f1011121314151617") << 192
                                     << QByteArray("dda97ca4864cdfe06eaf70a0ec0d7191");
        QTest::newRow("C.3 AES-256") << QByteArray("000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f")
                                     << 256 << QByteArray("8ea2b7ca516745bfeafc49904b496089");
    }

    void fipsVectors()
    {
        QFETCH(QByteArray, key);
        QFETCH(int, keyBits);
        QFETCH(QByteArray, cipher);
        const ByteArray plain = fromHex("00112233445566778899aabbccddeeff");

        clsRijndael aes;
        QCOMPARE(aes.SetCipherKey(fromHex(key.constData()), keyBits), 0);
        ByteArray out(16);
        aes.BlockEncrypt(plain, out, 0, 0);
        QCOMPARE(toHex(out), cipher);

        ByteArray back(16);
        aes.BlockDecrypt(back, out, 0, 0);
        QCOMPARE(toHex(back), toHex(plain));
    }

    void matchesOpenSsl_data()
    {
        QTest::addColumn<int>("keyBits");
        for (int bits : {128, 192, 256})
            QTest::addRow("%d", bits) << bits;
    }

    // Thousands of random keys, each enciphering random blocks at random offsets, in place and into a second array.
    void matchesOpenSsl()
    {
        QFETCH(int, keyBits);
        std::mt19937 random(20261206u + unsigned(keyBits));
        auto randomBytes = [&](std::size_t n) {
            ByteArray bytes(n);
            for (auto &b : bytes)
                b = std::uint8_t(random());
            return bytes;
        };

        clsRijndael aes;
        for (int keyNo = 0; keyNo < 3000; ++keyNo) {
            const ByteArray key = randomBytes(std::size_t(keyBits / 8));
            aes.SetCipherKey(key, keyBits);

            const int blocks = 4;
            const ByteArray plain = randomBytes(16 * blocks);
            const ByteArray expected = opensslEcb(true, key, plain);

            // Into a second array at another offset.
            const std::int32_t shift = std::int32_t(random() % 7);
            ByteArray cipher(16 * blocks + std::size_t(shift));
            for (int i = 0; i < blocks; ++i)
                aes.BlockEncrypt(plain, cipher, 16 * i, 16 * i + shift);
            QVERIFY2(std::equal(expected.begin(), expected.end(), cipher.begin() + shift),
                     qPrintable(QStringLiteral("key %1").arg(QString::fromLatin1(toHex(key)))));

            // In place.
            ByteArray inPlace = plain;
            for (int i = 0; i < blocks; ++i)
                aes.BlockEncrypt(inPlace, inPlace, 16 * i, 16 * i);
            QVERIFY(inPlace == expected);

            // Deciphering OpenSSL's ciphertext, into a second array and in place.
            ByteArray back(16 * blocks);
            for (int i = 0; i < blocks; ++i)
                aes.BlockDecrypt(back, expected, 16 * i, 16 * i);
            QVERIFY(back == plain);
            for (int i = 0; i < blocks; ++i)
                aes.BlockDecrypt(inPlace, inPlace, 16 * i, 16 * i);
            QVERIFY(inPlace == plain);
        }
    }

    void illegalKeyBitsKeepPreviousKey_data()
    {
        QTest::addColumn<int>("keyBits");
        QTest::newRow("160") << 160;
        QTest::newRow("224") << 224;
        QTest::newRow("0") << 0;
        QTest::newRow("-128") << -128;
        QTest::newRow("129") << 129;
    }

    void illegalKeyBitsKeepPreviousKey()
    {
        QFETCH(int, keyBits);
        clsRijndael aes;
        aes.SetCipherKey(fromHex("000102030405060708090a0b0c0d0e0f"), 128);
        try {
            aes.SetCipherKey(ByteArray(32, 0xA5), keyBits);
            QFAIL("an illegal key size was accepted");
        } catch (const RijndaelError &e) {
            QCOMPARE(e.number(), 1);
            QCOMPARE(QString::fromStdString(e.description()),
                     QStringLiteral("cRijndael.SetCipherKey - Illegal KeyBits Value"));
        }
        ByteArray out(16);
        aes.BlockEncrypt(fromHex("00112233445566778899aabbccddeeff"), out, 0, 0);
        QCOMPARE(toHex(out), QByteArray("69c4e0d86a7b0430d8cdb78070b4c55a"));
        aes.BlockDecrypt(out, out, 0, 0);
        QCOMPARE(toHex(out), QByteArray("00112233445566778899aabbccddeeff"));
    }

    // Only the key bytes the size asks for count; a shorter key after a longer one leaves nothing of it behind,
    // and one instance's key does not leak into another's.
    void keyChanges()
    {
        std::mt19937 random(7);
        ByteArray key256(32), key128(16), plain(64);
        for (auto *bytes : {&key256, &key128, &plain}) {
            for (auto &b : *bytes)
                b = std::uint8_t(random());
        }
        ByteArray padded = key128;
        padded.resize(32, 0xEE);

        clsRijndael reused, fresh, other;
        reused.SetCipherKey(key256, 256);
        ByteArray scratch(16);
        reused.BlockEncrypt(plain, scratch, 0, 0);
        reused.SetCipherKey(padded, 128);
        fresh.SetCipherKey(key128, 128);
        other.SetCipherKey(ByteArray(32, 0xFF), 256);

        ByteArray a(64), b(64), da(64), db(64);
        for (int i = 0; i < 64; i += 16) {
            reused.BlockEncrypt(plain, a, i, i);
            fresh.BlockEncrypt(plain, b, i, i);
            reused.BlockDecrypt(da, plain, i, i);
            fresh.BlockDecrypt(db, plain, i, i);
        }
        QVERIFY(a == opensslEcb(true, key128, plain));
        QVERIFY(b == a);
        QVERIFY(da == db);
        QVERIFY(da == opensslEcb(false, key128, plain));

        // A key array shorter than the size names is refused.
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, fresh.SetCipherKey(ByteArray(), 128));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, fresh.SetCipherKey(ByteArray(16), 192));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, fresh.SetCipherKey(ByteArray(31), 256));
    }

    // Without a key a block only passes through substitution and row shift, which deciphering undoes.
    void blocksBeforeAnyKeyStillInvert()
    {
        clsRijndael aes;
        const ByteArray plain = fromHex("00112233445566778899aabbccddeeff");
        ByteArray cipher(16);
        aes.BlockEncrypt(plain, cipher, 0, 0);
        // S(0x00) = 0x63 lands at byte 0, S(0x55) = 0xfc from byte 5 lands at byte 1.
        QCOMPARE(cipher[0], std::uint8_t(0x63));
        QCOMPARE(cipher[1], std::uint8_t(0xfc));
        ByteArray back(16);
        aes.BlockDecrypt(back, cipher, 0, 0);
        QVERIFY(back == plain);
    }

    void blockOutsideArrayIsRefused_data()
    {
        QTest::addColumn<int>("inSize");
        QTest::addColumn<int>("inOffset");
        QTest::addColumn<int>("outSize");
        QTest::addColumn<int>("outOffset");
        QTest::newRow("empty input") << 0 << 0 << 16 << 0;
        QTest::newRow("empty output") << 16 << 0 << 0 << 0;
        QTest::newRow("input 15 bytes") << 15 << 0 << 16 << 0;
        QTest::newRow("input offset past end") << 32 << 17 << 16 << 0;
        QTest::newRow("output offset past end") << 32 << 0 << 32 << 17;
        QTest::newRow("negative input offset") << 32 << -1 << 16 << 0;
        QTest::newRow("negative output offset") << 32 << 0 << 32 << -16;
        QTest::newRow("huge offset") << 32 << 0x7FFFFFF0 << 32 << 0;
    }

    void blockOutsideArrayIsRefused()
    {
        QFETCH(int, inSize);
        QFETCH(int, inOffset);
        QFETCH(int, outSize);
        QFETCH(int, outOffset);
        clsRijndael aes;
        aes.SetCipherKey(ByteArray(16, 1), 128);
        const ByteArray input(std::size_t(inSize), 0x11);
        ByteArray output(std::size_t(outSize), 0x22);
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, aes.BlockEncrypt(input, output, inOffset, outOffset));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, aes.BlockDecrypt(output, input, outOffset, inOffset));
        QVERIFY(output == ByteArray(std::size_t(outSize), 0x22));
    }
};

QTEST_GUILESS_MAIN(TestRijndaelBlock)
#include "tst_rijndaelblock.moc"
