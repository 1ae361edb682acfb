#include "rhythmscoring.h"

#include "keytimingcapture.h"

#include <QStringList>

#include <cmath>

namespace rhythm {

std::optional<QList<double>> loginVector(const QStringList &keyDownGaps, const QStringList &keyUpDelays,
                                         int passwordLength)
{
    QList<double> x;
    x.reserve(featureCount(passwordLength));
    for (int i = 0; i < passwordLength - 1; ++i) {
        bool ok = false;
        x.append(timingValue(keyDownGaps.value(i), &ok));
        if (!ok)
            return std::nullopt;
    }
    for (int i = 0; i < passwordLength; ++i) {
        bool ok = false;
        x.append(timingValue(keyUpDelays.value(i), &ok));
        if (!ok)
            return std::nullopt;
    }
    return x;
}

std::optional<RhythmMatrix> trainingMatrix(const QString &trainData, int features)
{
    RhythmMatrix m(kSampleCount, features);
    const QStringList pieces = trainData.split(QStringLiteral("% "));
    for (int j = 0; j < kSampleCount && j < pieces.size(); ++j) {
        const QStringList parts = pieces[j].split(QLatin1Char(' '));
        for (int i = 0; i < features && i < parts.size(); ++i) {
            bool ok = false;
            m.at(j, i) = timingValue(parts[i], &ok);
            if (!ok)
                return std::nullopt;
        }
    }
    return m;
}

std::optional<double> score(const QList<double> &x, const QList<double> &r)
{
    double distSquared = 0.0;
    double normSquared = 0.0;
    for (qsizetype i = 0; i < x.size(); ++i) {
        const double ri = r.value(i);
        distSquared += (x[i] - ri) * (x[i] - ri);
        normSquared += ri * ri;
    }
    if (!(normSquared > 0.0))
        return std::nullopt;
    return 1.0 - std::sqrt(distSquared) / std::sqrt(normSquared);
}

std::optional<Verdict> judge(const QList<double> &x, const RhythmMatrix &reference)
{
    Verdict verdict;
    for (int k = 0; k < kScoredRows; ++k) {
        const auto s = score(x, reference.row(k));
        if (!s)
            return std::nullopt;
        verdict.scores.append(*s);
        if (*s >= kPassScore)
            ++verdict.hits;
    }
    verdict.passed = verdict.hits >= kRowsToPass;
    return verdict;
}

} // namespace rhythm
