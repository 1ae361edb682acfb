#include "capturescript.h"
#include "keytimingcapture.h"

#include <QLocale>
#include <QTest>

class tst_KeyTimingCapture : public QObject
{
    Q_OBJECT

private slots:
    void countedKeys_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("counted");

        QTest::newRow("letters") << "+a@0 -a@10 +Z@20 -Z@30" << 2;
        QTest::newRow("digits") << "+0@0 -0@10 +9@20 -9@30" << 2;
        QTest::newRow("keypad digits") << "+KP0@0 -KP0@10 +KP7@20 -KP7@30" << 2;
        QTest::newRow("shift and caps lock") << "+Shift@0 +A@5 -A@9 -Shift@10 +Caps@20 -Caps@30" << 1;
        QTest::newRow("blank, hyphen, exclamation") << "+Space@0 -Space@10 +Minus@20 -Minus@30 +Excl@40 -Excl@50" << 0;
        QTest::newRow("cursor, enter, tab") << "+Left@0 -Left@10 +Enter@20 -Enter@30 +Tab@40 -Tab@50" << 0;
    }

    void countedKeys()
    {
        QFETCH(QString, script);
        QFETCH(int, counted);
        KeyTimingCapture capture;
        capture.setActive(true);
        playScript(capture, script);
        QCOMPARE(capture.keyDownCount(), counted);
        QCOMPARE(capture.keyUpCount(), counted);
    }

    void timings_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QStringList>("gaps");
        QTest::addColumn<QStringList>("delays");

        QTest::newRow("clean typing") << "+a@1000 -a@1125 +b@1250 -b@1390 +c@1500 -c@1600"
                                      << QStringList {"0.25", "0.25"} << QStringList {"0.125", "0.14", "0.1"};
        QTest::newRow("pause over a second")
            << "+a@0 -a@100 +b@1001 -b@2500" << QStringList {"1"} << QStringList {"0.1", "1"};
        QTest::newRow("exactly a second")
            << "+a@0 -a@1000 +b@1000 -b@1100" << QStringList {"1"} << QStringList {"1", "0.1"};
        QTest::newRow("same millisecond")
            << "+a@500 -a@500 +b@500 -b@501" << QStringList {"0.001"} << QStringList {"0.001", "0.001"};
        // B goes down before A comes up: A's delay runs from B's key-down.
        QTest::newRow("rolled over") << "+a@0 +b@100 -a@150 -b@230" << QStringList {"0.1"}
                                     << QStringList {"0.05", "0.13"};
        QTest::newRow("rolled over, same millisecond")
            << "+a@0 +b@100 -a@100 -b@180" << QStringList {"0.1"} << QStringList {"0.001", "0.08"};
        QTest::newRow("shift held for a capital")
            << "+Shift@0 +a@50 -a@120 -Shift@150 +b@300 -b@400" << QStringList {"0.25"} << QStringList {"0.07", "0.1"};
        QTest::newRow("auto-repeat counts key-downs")
            << "+a@0 +a@500 +a@530 -a@600" << QStringList {"0.5", "0.03"} << QStringList {"0.07"};
        QTest::newRow("counter wraps at 32 bits")
            << "+a@4294967040 -a@4294967200 +b@64 -b@100" << QStringList {"0.32"} << QStringList {"0.16", "0.036"};
        QTest::newRow("first key after a long idle")
            << "+a@90000000 -a@90000090" << QStringList {} << QStringList {"0.09"};
    }

    void timings()
    {
        QFETCH(QString, script);
        QFETCH(QStringList, gaps);
        QFETCH(QStringList, delays);
        KeyTimingCapture capture;
        capture.setActive(true);
        playScript(capture, script);
        QCOMPARE(capture.keyDownGaps().mid(0, gaps.size()), gaps);
        QCOMPARE(capture.keyDownGaps().value(gaps.size()), QString());
        QCOMPARE(capture.keyUpDelays().mid(0, delays.size()), delays);
        QCOMPARE(capture.keyUpDelays().value(delays.size()), QString());
    }

    void onlyFifteenTimings()
    {
        KeyTimingCapture capture;
        capture.setActive(true);
        QString script;
        for (int n = 0; n < 17; ++n)
            script += QStringLiteral("+a@%1 -a@%2 ").arg(n * 100).arg(n * 100 + 40);
        playScript(capture, script);
        QCOMPARE(capture.keyDownCount(), 17);
        QCOMPARE(capture.keyUpCount(), 17);
        QCOMPARE(capture.keyDownGaps(), QStringList(14, QStringLiteral("0.1")));
        QCOMPARE(capture.keyUpDelays(), QStringList(15, QStringLiteral("0.04")));
    }

    void correctionKeysEndTheSample_data()
    {
        QTest::addColumn<bool>("active");
        QTest::addColumn<QString>("key");

        for (bool active : {true, false}) {
            for (const char *key : {"Bksp", "Del"})
                QTest::addRow("%s, %s", key, active ? "capturing" : "not capturing") << active << QString(key);
        }
    }

    void correctionKeysEndTheSample()
    {
        QFETCH(bool, active);
        QFETCH(QString, key);
        KeyTimingCapture capture;
        capture.setActive(active);
        QCOMPARE(playScript(capture, QStringLiteral("+a@0 -a@100 +b@200 -b@300 +%1@400").arg(key)), 0);
        QCOMPARE(capture.keyDownCount(), active ? 2 : 0);
        QCOMPARE(capture.keyUpCount(), active ? 2 : 0);
        QCOMPARE(capture.keyUpDelays().first(), active ? QStringLiteral("0.1") : QString());
        // Only the key-up ends the sample.
        QCOMPARE(playScript(capture, QStringLiteral("-%1@450").arg(key)), 1);
        capture.reset();
        QCOMPARE(capture.keyDownCount(), 0);
        QCOMPARE(capture.keyUpCount(), 0);
        QCOMPARE(capture.keyDownGaps(), QStringList(14));
        QCOMPARE(capture.keyUpDelays(), QStringList(15));
        // The next sample starts cleanly: its first key stores no gap.
        playScript(capture, "+c@5000 -c@5100");
        QCOMPARE(capture.keyDownGaps().first(), QString());
        QCOMPARE(capture.keyUpDelays().first(), active ? QStringLiteral("0.1") : QString());
    }

    void sampleText()
    {
        KeyTimingCapture capture;
        capture.setActive(true);
        playScript(capture, "+a@0 -a@78 +b@140 -b@234 +c@265 -c@327");
        QCOMPARE(capture.sampleText(3), QStringLiteral("0.14 0.125 0.078 0.094 0.062 % "));
    }

    // Every case runs where the locale writes a decimal comma: the texts must still use a point.
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void numbers()
    {
        QCOMPARE(timingText(-5), QStringLiteral("0.001"));
        bool ok = false;
        QCOMPARE(timingValue(QStringLiteral("0.125"), &ok), 0.125);
        QVERIFY(ok);
        timingValue(QStringLiteral("0,125"), &ok);
        QVERIFY(!ok);
    }
};

QTEST_GUILESS_MAIN(tst_KeyTimingCapture)
#include "tst_keytimingcapture.moc"
