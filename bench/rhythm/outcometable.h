// Candidate constants for the engine, each tried on every subject at level 5, kept compact so that any split of
// the subjects can be scored quickly.
#pragma once

#include "referencebuilder.h"
#include "rhythmevaluation.h"

#include <QList>

#include <cstdint>
#include <vector>

// Shapes (rhythm quantile x scale x fast share), each at every level-5 margin of a grid.
struct CandidateGrid
{
    QList<double> quantiles;
    QList<double> scales;
    QList<double> fastShares;
    QList<double> margins; // ascending

    int shapes() const { return int(quantiles.size() * scales.size() * fastShares.size()); }
    // The constants of one candidate; the margin at level 10 follows from the one at level 5.
    rhythm::ReferenceShape shape(int shapeIndex, int marginIndex) const;
};

class OutcomeTable
{
public:
    enum class Protocol { Fixed, Learning };

    OutcomeTable(const CandidateGrid &grid, const QList<EnrolledSubject> &subjects, Protocol protocol);

    const CandidateGrid &grid() const { return m_grid; }

    // Level-5 rates of a candidate over the judged subjects, impostor attempts from the pool only.
    LevelRates rates(int shape, int margin, const QList<int> &judged, const QList<int> &pool) const;

private:
    void fillFixed(int shape, const QList<EnrolledSubject> &subjects);
    void fillLearning(int shape, const QList<EnrolledSubject> &subjects);
    std::size_t at(int shape, int margin, int subject) const;
    void store(int shape, int margin, int subject, const SubjectOutcome &outcome);

    CandidateGrid m_grid;
    int m_subjects = 0;
    int m_margins = 0;
    std::vector<std::uint8_t> m_refused; // [shape][margin][subject]
    std::vector<std::uint8_t> m_accepted; // [shape][margin][subject][other]
    QList<int> m_genuineAttempts; // [subject]
    QList<int> m_impostorAttempts; // [subject][other]
};

namespace candidates {
// The candidates tried for a protocol; the learning rule, slower to simulate, gets a coarser margin step.
CandidateGrid grid(OutcomeTable::Protocol protocol);
// The margin at level 10 for a margin at level 5: 0.06 more a level above 5, so that level 10 refuses about half of
// a user's typings and lets in few impostors, as a strictest level should.
double marginAt10(double marginAt5);
} // namespace candidates
