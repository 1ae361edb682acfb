// Constants chosen on some subjects and judged on the others: figures for people the constants were not tuned on.
#pragma once

#include "outcometable.h"
#include "rhythmevaluation.h"

#include <QList>

struct Choice
{
    int shape = -1;
    int margin = -1;
    LevelRates onChoosers; // level-5 rates on the subjects it was chosen on
};

// One split of the subjects: constants chosen on one half, judged on the other.
struct Fold
{
    QList<int> choosers;
    QList<int> judged;
};

struct FoldResult
{
    Choice choice;
    QList<LevelRates> judged; // levels 0..10 on the judged half, impostors from that half
};

// A level's rates over the folds: mean and standard deviation.
struct LevelSummary
{
    int level = 0;
    double falseRejection = 0, falseAcceptance = 0;
    double falseRejectionSd = 0, falseAcceptanceSd = 0;
};

namespace crossval {

inline constexpr double kTargetFar = 0.10;
// Levels 0 to 5 must differ: at least 0.03 of margin a level. A shape that meets the target with hardly any margin
// does so through a lucky speed window on the few people it was chosen on, and leaves the lenient levels alike.
inline constexpr double kMinMarginAt5 = 0.15;

// The rule: each shape takes the smallest level-5 margin (at least kMinMarginAt5) at which the subjects' FAR
// (impostors among themselves) is at most the target; of those, the shape with the lowest FRR wins. No choice
// when no shape gets there.
Choice choose(const OutcomeTable &table, const QList<int> &subjects, double targetFar = kTargetFar);

// Random splits into two halves (seeded, so the figures repeat), each used both ways.
QList<Fold> folds(int subjects, int splits, unsigned seed);

// The choice judged on the fold's other half at every level.
FoldResult judge(const OutcomeTable &table, const QList<EnrolledSubject> &subjects, const Fold &fold,
                 OutcomeTable::Protocol protocol);

// Each level's rates over the folds.
QList<LevelSummary> summarise(const QList<FoldResult> &results);

} // namespace crossval
