// Recorded typing turned into the texts the key-timing capture would have stored for it.
#include "rhythmscoring.h"
#include "typingdata.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString header()
{
    QString h = "subject,sessionIndex,rep";
    const QStringList keys = {"t", "i", "e", "five", "Shift.r", "o", "a", "n", "l"};
    for (int k = 0; k < keys.size(); ++k) {
        h += ",H." + keys[k];
        if (k + 1 < keys.size())
            h += ",DD." + keys[k] + "." + keys[k + 1] + ",UD." + keys[k] + "." + keys[k + 1];
    }
    return h;
}

QString row(const QString &subject, int session, int rep, double hold, double gap)
{
    QString r = QString("%1,%2,%3").arg(subject).arg(session).arg(rep);
    for (int k = 0; k < 9; ++k) {
        r += "," + QString::number(hold);
        if (k < 8)
            r += "," + QString::number(gap) + "," + QString::number(gap - hold);
    }
    return r;
}

QString writeTable(const QTemporaryDir &dir, const QStringList &lines)
{
    const QString path = dir.filePath("typing.csv");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write((lines.join('\n') + '\n').toUtf8());
    return path;
}

} // namespace

class TstRhythmData : public QObject
{
    Q_OBJECT

private slots:
    void timesBecomeCaptureTexts_data()
    {
        QTest::addColumn<QList<double>>("holds");
        QTest::addColumn<QList<double>>("gaps");
        QTest::addColumn<QStringList>("expectedGaps");
        QTest::addColumn<QStringList>("expectedDelays");

        const QList<double> evenHolds(9, 0.1);
        const QList<double> evenGaps(8, 0.2);
        QTest::newRow("clean") << evenHolds << evenGaps << QStringList(8, "0.2") << QStringList(9, "0.1");

        // The first key is still down when the second goes down: its key-up is timed from the second key-down.
        QList<double> rolled = evenHolds;
        rolled[0] = 0.25;
        QStringList rolledDelays(9, "0.1");
        rolledDelays[0] = "0.05";
        QTest::newRow("rollover") << rolled << evenGaps << QStringList(8, "0.2") << rolledDelays;

        // Whole milliseconds, then the capture's clamp: over a second is 1, nothing is 0.001.
        QList<double> odd = evenHolds;
        odd[3] = 0.1236;
        odd[8] = 0.0004;
        QList<double> longGaps = evenGaps;
        longGaps[2] = 1.5;
        longGaps[5] = 0.0995;
        QStringList oddGaps(8, "0.2");
        oddGaps[2] = "1";
        oddGaps[5] = "0.1";
        QStringList oddDelays(9, "0.1");
        oddDelays[3] = "0.124";
        oddDelays[8] = "0.001";
        // Key 6 goes down half a millisecond before key 5 comes up: key 5 is timed from it.
        oddDelays[5] = "0.001";
        QTest::newRow("rounded and clamped") << odd << longGaps << oddGaps << oddDelays;
    }

    void timesBecomeCaptureTexts()
    {
        QFETCH(QList<double>, holds);
        QFETCH(QList<double>, gaps);
        QFETCH(QStringList, expectedGaps);
        QFETCH(QStringList, expectedDelays);
        const RecordedTyping typing = typingdata::fromTimes(holds, gaps);
        QCOMPARE(typing.keyDownGaps, expectedGaps);
        QCOMPARE(typing.keyUpDelays, expectedDelays);

        // The sample text reads back through the program's own training-text parser.
        const QString text = typing.sampleText();
        QVERIFY(text.endsWith(" % "));
        const auto matrix = rhythm::trainingMatrix(text, 17);
        QVERIFY(matrix);
        const auto x = rhythm::loginVector(typing.keyDownGaps, typing.keyUpDelays, 9);
        QVERIFY(x);
        QCOMPARE(matrix->row(0), *x);
    }

    void tableIsRead()
    {
        QTemporaryDir dir;
        const QString path = writeTable(dir, {header(), row("s1", 4, 1, 0.09, 0.21), row("s2", 5, 7, 0.11, 0.18)});
        QString error;
        const QList<RecordedTyping> typings = typingdata::readTable(path, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(typings.size(), 2);
        QCOMPARE(typings[1].subject, QString("s2"));
        QCOMPARE(typings[1].session, 5);
        QCOMPARE(typings[1].rep, 7);
        QCOMPARE(typings[0].keyDownGaps, QStringList(8, "0.21"));
        QCOMPARE(typings[1].keyUpDelays, QStringList(9, "0.11"));
    }

    void brokenTablesAreRefused_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("missing column") << QStringList {header().replace("H.five", "H.5"), row("s1", 4, 1, 0.1, 0.2)};
        QTest::newRow("short row") << QStringList {header(), row("s1", 4, 1, 0.1, 0.2).section(',', 0, 10)};
        QTest::newRow("not a number") << QStringList {header(), row("s1", 4, 1, 0.1, 0.2).replace("0.1", "x")};
        QTest::newRow("no typings") << QStringList {header()};
    }

    void brokenTablesAreRefused()
    {
        QFETCH(QStringList, lines);
        QTemporaryDir dir;
        QString error;
        QVERIFY(typingdata::readTable(writeTable(dir, lines), &error).isEmpty());
        QVERIFY(!error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TstRhythmData)
#include "tst_rhythmdata.moc"
