#include "crossvalidation.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>

namespace crossval {

Choice choose(const OutcomeTable &table, const QList<int> &subjects, double targetFar)
{
    Choice best;
    const int margins = int(table.grid().margins.size());
    for (int shape = 0; shape < table.grid().shapes(); ++shape) {
        for (int m = 0; m < margins; ++m) {
            if (table.grid().margins[m] < kMinMarginAt5 - 1e-9)
                continue;
            const LevelRates r = table.rates(shape, m, subjects, subjects);
            if (r.falseAcceptance > targetFar)
                continue;
            if (best.shape < 0 || r.falseRejection < best.onChoosers.falseRejection)
                best = {shape, m, r};
            break;
        }
    }
    return best;
}

QList<Fold> folds(int subjects, int splits, unsigned seed)
{
    std::mt19937 random(seed);
    QList<int> order(subjects);
    std::iota(order.begin(), order.end(), 0);
    QList<Fold> result;
    for (int split = 0; split < splits; ++split) {
        std::shuffle(order.begin(), order.end(), random);
        QList<int> first = order.mid(0, subjects / 2), second = order.mid(subjects / 2);
        std::sort(first.begin(), first.end());
        std::sort(second.begin(), second.end());
        result.append({first, second});
        result.append({second, first});
    }
    return result;
}

FoldResult judge(const OutcomeTable &table, const QList<EnrolledSubject> &subjects, const Fold &fold,
                 OutcomeTable::Protocol protocol)
{
    FoldResult result;
    result.choice = choose(table, fold.choosers);
    if (result.choice.shape < 0)
        return result;
    const ReferenceSource source =
        rhythmeval::shapeSource(table.grid().shape(result.choice.shape, result.choice.margin));
    for (int level = 0; level <= 10; ++level) {
        QList<SubjectOutcome> outcomes(subjects.size());
        for (int s : fold.judged) {
            outcomes[s] = protocol == OutcomeTable::Protocol::Fixed
                ? rhythmeval::judgeFixed(source, subjects, s, level)
                : rhythmeval::judgeLearning(source, subjects, s, level);
        }
        result.judged.append(rhythmeval::rates(outcomes, fold.judged, fold.judged, level));
    }
    return result;
}

} // namespace crossval

namespace crossval {

QList<LevelSummary> summarise(const QList<FoldResult> &results)
{
    QList<LevelSummary> summary;
    for (int level = 0; level <= 10; ++level) {
        LevelSummary l;
        l.level = level;
        QList<double> frr, far;
        for (const FoldResult &f : results) {
            if (f.judged.size() > level) {
                frr.append(f.judged[level].falseRejection);
                far.append(f.judged[level].falseAcceptance);
            }
        }
        if (frr.isEmpty())
            continue;
        auto meanAndSd = [](const QList<double> &v, double *mean, double *sd) {
            *mean = std::accumulate(v.begin(), v.end(), 0.0) / v.size();
            double squares = 0.0;
            for (double x : v)
                squares += (x - *mean) * (x - *mean);
            *sd = v.size() > 1 ? std::sqrt(squares / (v.size() - 1)) : 0.0;
        };
        meanAndSd(frr, &l.falseRejection, &l.falseRejectionSd);
        meanAndSd(far, &l.falseAcceptance, &l.falseAcceptanceSd);
        summary.append(l);
    }
    return summary;
}

} // namespace crossval
