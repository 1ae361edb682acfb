#include "cp1252.h"

#include <QtTest>

#include <set>

class TestCp1252 : public QObject
{
    Q_OBJECT

private slots:
    void everyByteRoundTrips()
    {
        std::vector<std::uint8_t> all(256);
        for (int i = 0; i < 256; ++i)
            all[std::size_t(i)] = std::uint8_t(i);
        const std::u16string text = cp1252::toUtf16(all);
        QCOMPARE(text.size(), std::size_t(256));
        QVERIFY(cp1252::canEncode(text));
        QVERIFY(cp1252::fromUtf16(text) == all);
        // Distinct bytes give distinct characters.
        QCOMPARE(std::set<char16_t>(text.begin(), text.end()).size(), std::size_t(256));
    }

    void windowsAssignments_data()
    {
        QTest::addColumn<int>("byte");
        QTest::addColumn<int>("character");
        QTest::newRow("A") << 0x41 << 0x41;
        QTest::newRow("euro") << 0x80 << 0x20AC;
        QTest::newRow("unassigned 81") << 0x81 << 0x81;
        QTest::newRow("low quote") << 0x82 << 0x201A;
        QTest::newRow("florin") << 0x83 << 0x0192;
        QTest::newRow("ellipsis") << 0x85 << 0x2026;
        QTest::newRow("S caron") << 0x8A << 0x0160;
        QTest::newRow("unassigned 8D") << 0x8D << 0x8D;
        QTest::newRow("Z caron") << 0x8E << 0x017D;
        QTest::newRow("unassigned 8F") << 0x8F << 0x8F;
        QTest::newRow("unassigned 90") << 0x90 << 0x90;
        QTest::newRow("left quote") << 0x91 << 0x2018;
        QTest::newRow("em dash") << 0x97 << 0x2014;
        QTest::newRow("trade mark") << 0x99 << 0x2122;
        QTest::newRow("unassigned 9D") << 0x9D << 0x9D;
        QTest::newRow("Y diaeresis") << 0x9F << 0x0178;
        QTest::newRow("no-break space") << 0xA0 << 0xA0;
        QTest::newRow("e acute") << 0xE9 << 0xE9;
        QTest::newRow("y diaeresis") << 0xFF << 0xFF;
    }

    void windowsAssignments()
    {
        QFETCH(int, byte);
        QFETCH(int, character);
        const std::uint8_t b = std::uint8_t(byte);
        QCOMPARE(int(cp1252::toUtf16(&b, 1).at(0)), character);
        const std::u16string text(1, char16_t(character));
        QCOMPARE(cp1252::fromUtf16(text), std::vector<std::uint8_t> {b});
    }

    void canEncode_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("expected");
        QTest::addColumn<QByteArray>("unencodable"); // what a text that does not fit becomes
        QTest::newRow("empty") << QString() << true << QByteArray();
        QTest::newRow("ascii") << QStringLiteral("pass word 123!?") << true << QByteArray();
        QTest::newRow("western european")
            << QStringLiteral(u"Gr\u00fc\u00dfe \u00e0 \u20ac5 \u2014 \u0152uvre") << true << QByteArray();
        QTest::newRow("unassigned byte characters")
            << QStringLiteral(u"\u0081\u008d\u008f\u0090\u009d") << true << QByteArray();
        QTest::newRow("other C1 control") << QStringLiteral(u"a\u0080b") << false << QByteArray("a?b");
        QTest::newRow("A macron") << QStringLiteral(u"\u0100") << false << QByteArray("?");
        QTest::newRow("cyrillic") << QStringLiteral(u"\u043f\u0430\u0440\u043e\u043b\u044c") << false
                                  << QByteArray("??????");
        QTest::newRow("CJK") << QStringLiteral(u"\u5bc6\u7801") << false << QByteArray("??");
        QTest::newRow("one character outside the basic plane")
            << QStringLiteral(u"x\U0001F600y") << false << QByteArray("x?y");
        QTest::newRow("lone surrogate") << QString(QChar(0xD800)) << false << QByteArray("?");
        QTest::newRow("lone high surrogate at end")
            << QStringLiteral(u"x") + QChar(0xD83D) << false << QByteArray("x?");
    }

    void canEncode()
    {
        QFETCH(QString, text);
        QFETCH(bool, expected);
        QFETCH(QByteArray, unencodable);
        const std::u16string u16 = text.toStdU16String();
        QCOMPARE(cp1252::canEncode(u16), expected);
        // canEncode promises exactly that the round trip is lossless.
        const std::vector<std::uint8_t> encoded = cp1252::fromUtf16(u16);
        QCOMPARE(cp1252::toUtf16(encoded) == u16, expected);
        if (!expected)
            QCOMPARE(QByteArray(reinterpret_cast<const char *>(encoded.data()), qsizetype(encoded.size())),
                     unencodable);
    }
};

QTEST_GUILESS_MAIN(TestCp1252)
#include "tst_cp1252.moc"
