// The typing-rhythm check: key timing, scoring, and the engine library loaded from the program folder.
#include "keytimingcapture.h"
#include "tymcoreengine.h"

#include <QtTest>

#include <clocale>
#include <sys/resource.h>
#include <unistd.h>

class tst_Rhythm : public QObject
{
    Q_OBJECT

    static constexpr int kN = 13; // timings of a seven-key password
    const QString kEngine = TymcoreEngine::libraryPathIn(qEnvironmentVariable("VAULTRY_PROGRAM_DIR"));
    // `stored` of ten typings of one rhythm (longer gaps, shorter holds), each up to 15% off; and their mean.
    static std::pair<RhythmMatrix, QList<double>> typings(int stored)
    {
        std::pair<RhythmMatrix, QList<double>> t {RhythmMatrix(10, kN), QList<double>(kN)};
        for (int v = 0; v < stored * kN; ++v) {
            t.first.values[v] = (v % kN < 6 ? 0.15 + 0.06 * (v % kN % 3) : 0.08) * (0.85 + 0.03 * (v * 7 % 11));
            t.second[v % kN] += t.first.values[v] / stored;
        }
        return t;
    }

private slots:
    void capture_data()
    {
        // Keys, then the sample text: "+a@100" is a going down at 100 ms, "-a@190" up; ^ Shift, < Backspace, > Delete.
        QTest::addColumn<QString>("script");
        // B goes down before A comes up: A's key-up is timed from B's key-down.
        QTest::newRow("rolled over") << "+a@0 +b@100 -a@150 -b@230 = 0.1 0.05 0.13 % ";
        QTest::newRow("rolled over, same ms") << "+a@0 +b@100 -a@100 -b@180 = 0.1 0.001 0.08 % ";
        QTest::newRow("over a second") << "+a@0 -a@100 +b@1001 -b@2500 = 1 0.1 1 % ";
        QTest::newRow("tick counter wraps") << "+a@4294967040 -a@4294967200 +b@64 -b@100 = 0.32 0.16 0.036 % ";
        QTest::newRow("letters, digits") << "+^@0 +a@50 -a@120 -^@150 +.@200 -.@250 +7@300 -7@400 = 0.25 0.07 0.1 % ";
        QTest::newRow("Backspace") << "+a@0 -a@100 +<@150 -<@200 +b@300 -b@400 = 0.1 % ";
        QTest::newRow("Delete") << "+a@0 -a@100 +>@150 ->@200 +b@300 -b@400 = 0.1 % ";
    }

    void capture()
    {
        QFETCH(QString, script);
        QLocale::setDefault(QLocale::German); // the texts keep a point where numbers have a decimal comma
        setlocale(LC_NUMERIC, "de_DE.UTF-8");
        const QHash<QChar, int> named {{'^', Qt::Key_Shift}, {'<', Qt::Key_Backspace}, {'>', Qt::Key_Delete}};
        KeyTimingCapture capture;
        capture.setActive(true);
        for (const QString &t : script.section(" = ", 0, 0).split(' ')) {
            const int key = named.value(t[1], t[1].toUpper().unicode());
            if (t[0] == '+')
                capture.keyDown(key, {}, t.mid(3).toUInt());
            else if (capture.keyUp(key, {}, t.mid(3).toUInt()))
                capture.reset(); // as the dialog does
        }
        QCOMPARE(capture.sampleText(capture.keyDownCount()), script.section(" = ", 1));
    }

    void judge_data()
    {
        // Reference rows against the typing (3, 6): A = (3, 4) scores exactly 0.6, U just under, B = (0, 6) scores
        // 0.5, Z is zero; row 5 is not scored. Then the verdict: passed, failed, or none (the attempt ends).
        QTest::addColumn<QString>("rows");
        QTest::newRow("3 at exactly 0.6") << "AAABBZ passed";
        QTest::newRow("one just under") << "AAUBBZ failed";
        QTest::newRow("2 of 5") << "AABBBZ failed";
        QTest::newRow("a scored row zero") << "AAAAZA none";
    }

    void judge()
    {
        QFETCH(QString, rows);
        const QHash<QChar, QList<double>> kinds {{'A', {3, 4}}, {'U', {3, 4 - 1e-9}}, {'B', {0, 6}}, {'Z', {0, 0}}};
        RhythmMatrix reference(6, 3);
        for (int k = 0; k < 6; ++k)
            std::ranges::copy(kinds.value(rows[k]) << 99, &reference.at(k, 0)); // column N: the engine's own
        const auto v = rhythm::judge({3, 6}, reference);
        QCOMPARE(v ? v->passed ? "passed" : "failed" : "none", rows.mid(7));
    }

    // The library itself: refused with a failure code, writing nothing; so is an exception inside (here memory
    // running out).
    void engineLibrary()
    {
        const auto tymcore = reinterpret_cast<qint32 (*)(const double *, qint16, qint16, qint32, double *)>(
            QLibrary::resolve(kEngine, "tymcore"));
        QVERIFY(tymcore && QLibrary::resolve(kEngine, "DllRegisterServer"));
        const auto [t, mean] = typings(10);
        const RhythmMatrix zero(10, kN);
        std::vector<double> out(6 * (kN + 1) + 8, -7.0);
        const double *ok = t.values.data();
        double *o = out.data();
        QVERIFY(tymcore(nullptr, 5, 10, kN, o) && tymcore(ok, 5, 10, kN, nullptr) && tymcore(ok, 5, 0, kN, o));
        QVERIFY(tymcore(ok, 5, 10, 0, o) && tymcore(zero.values.data(), 5, 10, kN, o)); // the last: no usable typing
#ifndef __SANITIZE_ADDRESS__ // the sanitizer's own memory does not fit under the limit
        const std::vector<double> huge(1 << 22, 0.1);
        QFile statm("/proc/self/statm");
        rlimit saved {}, tight {};
        QVERIFY(getrlimit(RLIMIT_AS, &saved) == 0 && statm.open(QIODevice::ReadOnly));
        tight = {statm.readAll().split(' ')[0].toULong() * sysconf(_SC_PAGESIZE) + (16 << 20), saved.rlim_max};
        QVERIFY(setrlimit(RLIMIT_AS, &tight) == 0);
        const qint32 outOfMemory = tymcore(huge.data(), 5, 1, 1 << 22, o);
        setrlimit(RLIMIT_AS, &saved);
        QVERIFY(outOfMemory && out == std::vector<double>(out.size(), -7.0));
#endif
        QVERIFY(!tymcore(ok, 5, 10, kN, o) && std::count(out.end() - 8, out.end(), -7.0) == 8); // nothing beyond
    }

    // Through the program's adapter: whatever a stricter level accepts, every more lenient one accepts too, over
    // typings around the user's. At the program's level the user's own typing passes, also with typings missing
    // (zero rows); the same timings in another order do not.
    void engineLevels()
    {
        TymcoreEngine adapter(kEngine);
        QVERIFY(adapter.load());
        const auto reference = [&](const RhythmMatrix &training, int level) {
            RhythmMatrix r;
            return adapter.referenceMatrix(training, level, &r) ? r : RhythmMatrix();
        };
        const auto passes = [&](const RhythmMatrix &training, const QList<double> &x) {
            rhythm::Verdict v;
            return rhythm::judgeWithEngine(adapter, training, x, &v) && v.passed;
        };
        const auto [t, mean] = typings(10);
        QList<int> accepted(11);
        for (int trial = 0; trial < 1000; ++trial) {
            QList<double> x = mean;
            for (int i = 0; i < kN; ++i)
                x[i] *= (0.7 + 0.06 * (trial % 11)) * (1 + 0.01 * (trial % 7) * ((trial * 31 + i * 17) % 13 - 6));
            bool stricter = false;
            for (int level = 10; level >= 0; --level) {
                const bool passed = rhythm::judge(x, reference(t, level)).value().passed;
                QVERIFY(passed || !stricter);
                accepted[level] += stricter = passed;
            }
        }
        QVERIFY(accepted[10] > 0 && accepted[10] < accepted[0] && accepted[0] < 1000); // the levels tell apart
        QCOMPARE(reference(t, 99).values, reference(t, 10).values);
        const auto [few, fewMean] = typings(3);
        QVERIFY(passes(t, mean) && passes(few, fewMean) && !passes(t, QList<double>(mean.rbegin(), mean.rend())));
    }
};

QTEST_GUILESS_MAIN(tst_Rhythm)
#include "tst_rhythm.moc"
