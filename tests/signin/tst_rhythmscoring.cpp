#include "rhythmscoring.h"

#include <QTest>

using namespace rhythm;

namespace {

// A reference matrix (6 x N+1) whose scored rows are the given ones.
RhythmMatrix referenceOf(const QList<QList<double>> &rows)
{
    const int n = int(rows.first().size());
    RhythmMatrix m(kReferenceRows, n + 1);
    for (int k = 0; k < rows.size(); ++k)
        for (int i = 0; i < n; ++i)
            m.at(k, i) = rows[k][i];
    return m;
}

QList<double> times(const QList<double> &v, double f)
{
    QList<double> out;
    for (double d : v)
        out.append(d * f);
    return out;
}

} // namespace

class tst_RhythmScoring : public QObject
{
    Q_OBJECT

private slots:
    void score_data()
    {
        QTest::addColumn<QList<double>>("x");
        QTest::addColumn<QList<double>>("r");
        QTest::addColumn<double>("expected");

        const QList<double> r {0.14, 0.125, 0.078, 0.094, 0.062};
        QTest::newRow("row equal to the vector") << r << r << 1.0;
        QTest::newRow("twice the row") << times(r, 2) << r << 0.0;
        QTest::newRow("all zero typing") << QList<double>(5, 0.0) << r << 0.0;
        QTest::newRow("three times the row, below zero") << times(r, 3) << r << -1.0;
        // |r| = 5, |x - r| = 3 and 2.
        QTest::newRow("3-4-5, distance 3") << QList<double> {3, 1} << QList<double> {3, 4} << 0.4;
        QTest::newRow("3-4-5, distance 2") << QList<double> {3, 6} << QList<double> {3, 4} << 0.6;
        // Only the first N elements of a row count: column N belongs to the engine.
        QTest::newRow("column N ignored") << QList<double> {3, 6} << QList<double> {3, 4, 99} << 0.6;
    }

    void score()
    {
        QFETCH(QList<double>, x);
        QFETCH(QList<double>, r);
        QFETCH(double, expected);
        const auto s = rhythm::score(x, r);
        QVERIFY(s.has_value());
        QVERIFY2(qAbs(*s - expected) < 1e-12, qPrintable(QString::number(*s)));
    }

    void threeOfFivePass_data()
    {
        QTest::addColumn<int>("hits");
        QTest::addColumn<bool>("passed");
        for (int hits = 0; hits <= 5; ++hits)
            QTest::addRow("%d of 5", hits) << hits << (hits >= 3);
    }

    void threeOfFivePass()
    {
        QFETCH(int, hits);
        QFETCH(bool, passed);
        // x = (3, 6): a row (3, 4) scores exactly 0.6 (the edge counts), a row (0, 6) scores 1 - 3/6 = 0.5.
        const QList<double> x {3, 6};
        QList<QList<double>> rows;
        for (int k = 0; k < 5; ++k)
            rows.append(k < hits ? QList<double> {3, 4} : QList<double> {0, 6});
        const auto verdict = judge(x, referenceOf(rows));
        QVERIFY(verdict.has_value());
        QCOMPARE(verdict->hits, hits);
        QCOMPARE(verdict->passed, passed);
        QCOMPARE(verdict->scores.size(), 5);
    }

    void zeroScoredRowEndsTheAttempt()
    {
        const QList<double> x {0.1, 0.2, 0.3};
        QList<QList<double>> rows(6, x);
        rows[5] = QList<double>(3, 0.0);
        QVERIFY(judge(x, referenceOf(rows)).has_value()); // row 5 is never scored
        rows[4] = QList<double>(3, 0.0);
        QVERIFY(!judge(x, referenceOf(rows)).has_value());
    }

    void loginVector()
    {
        const auto x = rhythm::loginVector({"0.14", "0.125", "", ""}, {"0.078", "0.094", "0.062", "0.5"}, 3);
        QVERIFY(x.has_value());
        QCOMPARE(*x, (QList<double> {0.14, 0.125, 0.078, 0.094, 0.062}));
        QCOMPARE(featureCount(3), 5);
    }

    void trainingMatrix_data()
    {
        QTest::addColumn<QString>("trainData");
        QTest::addColumn<int>("features");
        QTest::addColumn<QList<double>>("expected");

        const QString sample = QStringLiteral("0.14 0.125 0.078 0.094 0.062 % ");
        QList<double> ten;
        for (int j = 0; j < 10; ++j)
            ten += QList<double> {0.14, 0.125, 0.078, 0.094, 0.062};
        QTest::newRow("ten samples") << sample.repeated(10) << 5 << ten;
        // As the database gives it back: padded with blanks to its full field.
        QTest::newRow("padded with blanks") << (sample.repeated(10) + QString(200, QLatin1Char(' '))) << 5 << ten;
        QTest::newRow("pieces beyond the tenth ignored")
            << (sample.repeated(10) + QStringLiteral("9 9 9 9 9 % ")) << 5 << ten;
        QList<double> eight = ten.mid(0, 40) + QList<double>(10, 0.0);
        QTest::newRow("missing samples are zero rows") << sample.repeated(8) << 5 << eight;
        QTest::newRow("missing samples, padded") << (sample.repeated(8) + QString(300, QLatin1Char(' '))) << 5 << eight;
        QList<double> shortRow = QList<double> {0.5, 0.25, 0, 0, 0} + QList<double>(45, 0.0);
        QTest::newRow("missing numbers are zero") << QStringLiteral("0.5 0.25 % ") << 5 << shortRow;
        QTest::newRow("empty text") << QString() << 3 << QList<double>(30, 0.0);
    }

    void trainingMatrix()
    {
        QFETCH(QString, trainData);
        QFETCH(int, features);
        QFETCH(QList<double>, expected);
        const auto m = rhythm::trainingMatrix(trainData, features);
        QVERIFY(m.has_value());
        QCOMPARE(m->rows, 10);
        QCOMPARE(m->columns, features);
        QCOMPARE(m->values, expected);
    }

    void trainingMatrixRefusesNonNumbers()
    {
        QVERIFY(!rhythm::trainingMatrix(QStringLiteral("0.1 x 0.3 % "), 3).has_value());
        // A damaged part that is never read does no harm.
        QVERIFY(rhythm::trainingMatrix(QStringLiteral("0.1 0.2 0.3 x % "), 3).has_value());
    }
};

QTEST_GUILESS_MAIN(tst_RhythmScoring)
#include "tst_rhythmscoring.moc"
