// Checks the reader of recorded typing: a table's typings become the texts the key-timing capture would have
// stored for them, and a table it cannot use is refused with a reason.
#include "rhythmscoring.h"
#include "typingdata.h"

#include <QtTest>

class TypingDataCheck : public QObject
{
    Q_OBJECT

private slots:
    void timesBecomeCaptureTexts()
    {
        // Key 0 is still down when key 1 goes down: its key-up is timed from key 1's key-down. Times are whole
        // milliseconds, at most 1 and at least 0.001.
        QList<double> holds(9, 0.1), gaps(8, 0.2);
        holds[0] = 0.25;
        holds[3] = 0.1236;
        holds[8] = 0.0004;
        gaps[2] = 1.5;
        const RecordedTyping typing = typingdata::fromTimes(holds, gaps);
        QCOMPARE(typing.keyDownGaps, QStringList({"0.2", "0.2", "1", "0.2", "0.2", "0.2", "0.2", "0.2"}));
        QCOMPARE(typing.keyUpDelays, QStringList({"0.05", "0.1", "0.1", "0.124", "0.1", "0.1", "0.1", "0.1", "0.001"}));
        // The sample text reads back through the program's own parser as the typing's login vector.
        QCOMPARE(rhythm::trainingMatrix(typing.sampleText(), 17).value().row(0),
                 rhythm::loginVector(typing.keyDownGaps, typing.keyUpDelays, 9).value());
    }

    void tables_data()
    {
        // A typing of s2, session 5, rep 7: every key held 0.11 s, 0.18 s from key-down to key-down.
        const QStringList keys = {"t", "i", "e", "five", "Shift.r", "o", "a", "n", "l"};
        QString header = "subject,sessionIndex,rep", typing = "s2,5,7";
        for (int k = 0; k < keys.size(); ++k) {
            header += ",H." + keys[k] +
                (k < 8 ? ",DD." + keys[k] + "." + keys[k + 1] + ",UD." + keys[k] + "." + keys[k + 1] : "");
            typing += k < 8 ? ",0.11,0.18,0.07" : ",0.11";
        }
        QTest::addColumn<QString>("table");
        QTest::addColumn<bool>("read");
        QTest::newRow("a typing") << header + "\n" + typing << true;
        QTest::newRow("a column missing") << QString(header).replace("H.five", "H.5") + "\n" + typing << false;
        QTest::newRow("a short row") << header + "\n" + typing.section(',', 0, 10) << false;
        QTest::newRow("not a number") << header + "\n" + QString(typing).replace("0.18", "x") << false;
        QTest::newRow("no typings") << header << false;
    }

    void tables()
    {
        QFETCH(QString, table);
        QFETCH(bool, read);
        QTemporaryDir dir;
        QFile file(dir.filePath("typing.csv"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(table.toUtf8() + "\n") > 0);
        file.close();
        QString error;
        const QList<RecordedTyping> typings = typingdata::readTable(file.fileName(), &error);
        QCOMPARE(error.isEmpty(), read);
        QCOMPARE(typings.size(), int(read));
        if (read) {
            QCOMPARE(
                QStringList({typings[0].subject, QString::number(typings[0].session), QString::number(typings[0].rep)}),
                QStringList({"s2", "5", "7"}));
            QCOMPARE(typings[0].keyDownGaps, QStringList(8, "0.18"));
            QCOMPARE(typings[0].keyUpDelays, QStringList(9, "0.11"));
        }
    }
};

QTEST_GUILESS_MAIN(TypingDataCheck)
#include "typingdata_check.moc"
