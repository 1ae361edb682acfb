// The engine library loaded for real from the program folder, called through its C entry points
// and through the program's own adapter and scoring.
#include "rhythmscoring.h"
#include "tymcoreengine.h"

#include <QLibrary>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace {

using TymcoreFn = int32_t (*)(const double *, int16_t, int16_t, int32_t, double *);
using RegisterFn = int32_t (*)();

constexpr int kRows = 6;
constexpr double kSentinel = -12345.0;

// The program's own login rule over the engine's rows.
bool accepted(const std::vector<double> &reference, int featureCount, const std::vector<double> &x)
{
    RhythmMatrix m(kRows, featureCount + 1);
    std::copy_n(reference.begin(), m.values.size(), m.values.begin());
    const auto verdict = rhythm::judge(QList<double>(x.begin(), x.end()), m);
    return verdict && verdict->passed;
}

// Ten typings of a 9-key password around a personal rhythm, in whole milliseconds like the capture.
std::vector<double> syntheticSamples(int sampleCount, int featureCount, unsigned seed)
{
    std::mt19937 rng(seed);
    std::normal_distribution<double> noise(0.0, 1.0);
    std::vector<double> base(featureCount);
    for (int i = 0; i < featureCount; ++i)
        base[i] = i < featureCount / 2 ? 0.12 + 0.02 * (i % 5) : 0.08 + 0.01 * (i % 3);
    std::vector<double> samples(static_cast<size_t>(sampleCount) * featureCount);
    for (int j = 0; j < sampleCount; ++j) {
        for (int i = 0; i < featureCount; ++i) {
            const double v = base[i] * (1.0 + 0.15 * noise(rng));
            samples[j * featureCount + i] = std::clamp(std::round(v * 1000.0) / 1000.0, 0.001, 1.0);
        }
    }
    return samples;
}

std::vector<double> meanOf(const std::vector<double> &samples, int sampleCount, int featureCount)
{
    std::vector<double> m(featureCount, 0.0);
    for (int j = 0; j < sampleCount; ++j)
        for (int i = 0; i < featureCount; ++i)
            m[i] += samples[j * featureCount + i] / sampleCount;
    return m;
}

} // namespace

class TstTymcore : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        const QString folder = qEnvironmentVariable("VAULTRY_PROGRAM_DIR");
        QVERIFY(!folder.isEmpty());
        m_library.setFileName(folder + "/Tymcore");
        QVERIFY2(m_library.load(), qPrintable(m_library.errorString()));
        m_tymcore = reinterpret_cast<TymcoreFn>(m_library.resolve("tymcore"));
        m_register = reinterpret_cast<RegisterFn>(m_library.resolve("DllRegisterServer"));
        QVERIFY(m_tymcore);
        QVERIFY(m_register);
        QCOMPARE(m_register(), 0); // registration is harmless
    }

    void rowsAreNeverZeroAndShapesKept_data()
    {
        QTest::addColumn<int>("featureCount");
        QTest::addColumn<int>("level");
        QTest::addColumn<bool>("fastestTimings");
        for (int n : {11, 17, 29}) {
            for (int level : {0, 5, 10}) {
                QTest::addRow("N=%d level=%d", n, level) << n << level << false;
            }
        }
        // Every timing at the capture's floor: still no zero row.
        QTest::addRow("all 0.001") << 17 << 5 << true;
    }

    void rowsAreNeverZeroAndShapesKept()
    {
        QFETCH(int, featureCount);
        QFETCH(int, level);
        QFETCH(bool, fastestTimings);
        std::vector<double> samples = syntheticSamples(10, featureCount, 7);
        if (fastestTimings)
            std::fill(samples.begin(), samples.end(), 0.001);
        int32_t rc = -1;
        const std::vector<double> reference = call(samples, level, 10, featureCount, &rc);
        QCOMPARE(rc, 0);
        for (int k = 0; k < 5; ++k) {
            double norm = 0;
            for (int i = 0; i < featureCount; ++i) {
                const double v = reference[k * (featureCount + 1) + i];
                QVERIFY(std::isfinite(v));
                norm += v * v;
            }
            QVERIFY2(norm > 0, qPrintable(QString("row %1 is zero").arg(k)));
        }
        for (size_t i = kRows * (featureCount + 1); i < reference.size(); ++i)
            QCOMPARE(reference[i], kSentinel);
    }

    void badArgumentsAreRefused()
    {
        const int n = 17;
        const std::vector<double> samples = syntheticSamples(10, n, 1);
        std::vector<double> reference(kRows * (n + 1), 0.0);
        QVERIFY(m_tymcore(nullptr, 5, 10, n, reference.data()) != 0);
        QVERIFY(m_tymcore(samples.data(), 5, 10, n, nullptr) != 0);
        for (int count : {0, -3})
            QVERIFY(m_tymcore(samples.data(), 5, int16_t(count), n, reference.data()) != 0);
        for (int features : {0, -17})
            QVERIFY(m_tymcore(samples.data(), 5, 10, features, reference.data()) != 0);
        // Missing samples arrive as zero rows; with nothing usable at all the matrix stays untouched.
        const std::vector<double> zeros(10 * n, 0.0);
        QVERIFY(m_tymcore(zeros.data(), 5, 10, n, reference.data()) != 0);
        std::vector<double> broken = samples;
        for (int j = 0; j < 10; ++j)
            broken[j * n + 3] = std::nan("");
        QVERIFY(m_tymcore(broken.data(), 5, 10, n, reference.data()) != 0);
        for (double v : reference)
            QCOMPARE(v, 0.0);
        // A level beyond the scale counts as its nearest end.
        QCOMPARE(call(samples, 99, 10, n), call(samples, 10, 10, n));
        QCOMPARE(call(samples, -4, 10, n), call(samples, 0, 10, n));
    }

    void ownMeanIsAccepted_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("usableSamples");
        for (int level : {0, 5, 10}) {
            QTest::addRow("level %d, ten samples", level) << level << 10;
            QTest::addRow("level %d, three samples", level) << level << 3;
        }
    }

    void ownMeanIsAccepted()
    {
        QFETCH(int, level);
        QFETCH(int, usableSamples);
        const int n = 17;
        std::vector<double> samples = syntheticSamples(10, n, 42);
        // The training text had fewer pieces: the missing samples are zero rows and must be ignored.
        std::fill(samples.begin() + usableSamples * n, samples.end(), 0.0);
        const std::vector<double> reference = call(samples, level, 10, n);
        QVERIFY(accepted(reference, n, meanOf(samples, usableSamples, n)));
    }

    void levelsAreNested()
    {
        // Points around the user's rhythm: whatever a stricter level accepts, every more lenient one accepts too.
        const int n = 17;
        const std::vector<double> samples = syntheticSamples(10, n, 3);
        std::vector<std::vector<double>> references;
        for (int level = 0; level <= 10; ++level)
            references.push_back(call(samples, level, 10, n));
        const std::vector<double> mean = meanOf(samples, 10, n);
        std::mt19937 rng(11);
        std::normal_distribution<double> noise(0.0, 1.0);
        std::vector<int> acceptedAt(11, 0);
        for (int trial = 0; trial < 4000; ++trial) {
            const double spread = 0.05 + 0.4 * (trial % 10) / 10.0;
            std::vector<double> x(n);
            for (int i = 0; i < n; ++i)
                x[i] = std::max(0.001, mean[i] * (1.0 + spread * noise(rng)));
            bool strictAccepted = false;
            for (int level = 10; level >= 0; --level) {
                const bool ok = accepted(references[level], n, x);
                QVERIFY2(ok || !strictAccepted,
                         qPrintable(QString("accepted at a stricter level, refused at %1").arg(level)));
                strictAccepted = ok;
                acceptedAt[level] += ok;
            }
        }
        // The cases must actually tell something: some points pass the strictest level, some fail the most lenient.
        QVERIFY(acceptedAt[10] > 0);
        QVERIFY(acceptedAt[0] < 4000);
    }

    void programJudgesWithEngine_data()
    {
        QTest::addColumn<double>("factor"); // the user's mean rhythm, this much slower
        QTest::addColumn<bool>("reversed");
        QTest::addColumn<bool>("passes");
        QTest::newRow("own usual rhythm") << 1.0 << false << true;
        QTest::newRow("own rhythm, a little faster") << 0.9 << false << true;
        QTest::newRow("same shape, twice as slow") << 2.0 << false << false;
        QTest::newRow("same timings, other order") << 1.0 << true << false;
    }

    void programJudgesWithEngine()
    {
        QFETCH(double, factor);
        QFETCH(bool, reversed);
        QFETCH(bool, passes);
        const int n = 17;
        const std::vector<double> samples = syntheticSamples(10, n, 5);
        RhythmMatrix training(10, n);
        std::copy(samples.begin(), samples.end(), training.values.begin());
        QList<double> x;
        for (double v : meanOf(samples, 10, n))
            x << v * factor;
        if (reversed)
            std::reverse(x.begin(), x.end());

        TymcoreEngine engine(TymcoreEngine::libraryPathIn(qEnvironmentVariable("VAULTRY_PROGRAM_DIR")));
        QVERIFY(engine.isCreated());
        const auto verdict = rhythm::judgeWithEngine(engine, training, x);
        QVERIFY(verdict);
        QCOMPARE(verdict->passed, passes);
    }

private:
    // Calls the engine on a reference matrix with a sentinel margin after it; returns matrix plus margin.
    std::vector<double> call(const std::vector<double> &samples, int level, int sampleCount, int featureCount,
                             int32_t *result = nullptr)
    {
        std::vector<double> reference(kRows * (featureCount + 1), 0.0);
        reference.resize(reference.size() + 8, kSentinel);
        const std::vector<double> input = samples;
        const int32_t rc = m_tymcore(samples.data(), static_cast<int16_t>(level), static_cast<int16_t>(sampleCount),
                                     featureCount, reference.data());
        if (result)
            *result = rc;
        if (samples != input)
            QTest::qFail("the engine changed the training matrix", __FILE__, __LINE__);
        return reference;
    }

    QLibrary m_library;
    TymcoreFn m_tymcore = nullptr;
    RegisterFn m_register = nullptr;
};

QTEST_GUILESS_MAIN(TstTymcore)
#include "tst_tymcore.moc"
