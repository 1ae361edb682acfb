#include "tymcoreengine.h"

#include <QLibrary>
#include <QTest>

namespace {

QString fakeEngine(const char *variant)
{
    return QStringLiteral(FAKE_ENGINE_ROOT "/%1/Tymcore").arg(QLatin1String(variant));
}

// Ten samples of N = 3 features: sample j is (j+1)/10 * (1, 2, 3).
RhythmMatrix training()
{
    RhythmMatrix m(10, 3);
    for (int j = 0; j < 10; ++j)
        for (int i = 0; i < 3; ++i)
            m.at(j, i) = (j + 1) * (i + 1) / 10.0;
    return m;
}

// Keeps a fake engine loaded so its registration counter survives the adapter's unloading.
struct RegisterCounter
{
    explicit RegisterCounter(const QString &path) : library(path) { library.load(); }
    int calls()
    {
        auto f = reinterpret_cast<qint32 (*)()>(library.resolve("fakeRegisterCalls"));
        if (!f)
            qWarning() << library.errorString();
        return f ? f() : -1;
    }
    QLibrary library;
};

} // namespace

class tst_TymcoreEngine : public QObject
{
    Q_OBJECT

private slots:
    void passesMatricesRowMajor()
    {
        TymcoreEngine engine(fakeEngine("copy"));
        QVERIFY2(engine.isCreated(), qPrintable(engine.errorString()));
        const auto reference = engine.referenceMatrix(training(), 5);
        QVERIFY(reference.has_value());
        QCOMPARE(reference->rows, 6);
        QCOMPARE(reference->columns, 4);
        // The fake copies training row k into reference row k.
        for (int k = 0; k < 6; ++k)
            QCOMPARE(reference->row(k),
                     (QList<double> {training().at(k, 0), training().at(k, 1), training().at(k, 2), 0.0}));
        // An unexpected security level is a failed call.
        QVERIFY(!engine.referenceMatrix(training(), 4).has_value());
    }

    void failures_data()
    {
        QTest::addColumn<QString>("variant");
        QTest::addColumn<bool>("judged");
        QTest::addColumn<int>("hits");

        QTest::newRow("engine gives rows") << "copy" << true << 1;
        QTest::newRow("engine leaves a zero row") << "zerorow" << false << 0;
        QTest::newRow("engine reports a failure") << "fails" << false << 0;
        QTest::newRow("engine lacks its method") << "nomethod" << false << 0;
    }

    void failures()
    {
        QFETCH(QString, variant);
        QFETCH(bool, judged);
        QFETCH(int, hits);
        RegisterCounter counter(fakeEngine(qPrintable(variant)));
        const int before = counter.calls();
        {
            TymcoreEngine engine(fakeEngine(qPrintable(variant)));
            // A typing equal to sample 0: only row 0 scores 1; row 1 is twice it (score 0.5), the rest lower.
            const auto verdict = rhythm::judgeWithEngine(engine, training(), {0.1, 0.2, 0.3});
            QCOMPARE(verdict.has_value(), judged);
            if (verdict) {
                QCOMPARE(verdict->hits, hits);
                QVERIFY(!verdict->passed);
                QCOMPARE(verdict->scores.first(), 1.0);
            }
            engine.registerServer();
        }
        QCOMPARE(counter.calls(), before + 1);
    }

    void missingLibrary()
    {
        QCOMPARE(TymcoreEngine::libraryPathIn(QStringLiteral("/opt/vaultry")), QStringLiteral("/opt/vaultry/Tymcore"));
        TymcoreEngine engine(TymcoreEngine::libraryPathIn(QStringLiteral(FAKE_ENGINE_ROOT "/absent")));
        QVERIFY(!engine.isCreated());
        QVERIFY(!engine.errorString().isEmpty());
        QVERIFY(!rhythm::judgeWithEngine(engine, training(), {0.1, 0.2, 0.3}).has_value());
        engine.registerServer(); // nothing to call, and no crash
    }
};

QTEST_GUILESS_MAIN(tst_TymcoreEngine)
#include "tst_tymcoreengine.moc"
