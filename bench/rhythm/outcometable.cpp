#include "outcometable.h"

#include <atomic>
#include <limits>
#include <stdexcept>
#include <thread>

namespace {

constexpr int kLevel = 5;

bool passes(const QList<double> &x, const RhythmMatrix &reference)
{
    const auto verdict = rhythm::judge(x, reference);
    return verdict && verdict->passed;
}

} // namespace

namespace candidates {

double marginAt10(double marginAt5)
{
    return marginAt5 + 0.3;
}

} // namespace candidates

rhythm::ReferenceShape CandidateGrid::shape(int shapeIndex, int marginIndex) const
{
    rhythm::ReferenceShape s;
    const int shares = int(fastShares.size());
    const int perQuantile = int(scales.size()) * shares;
    s.rhythmQuantile = quantiles[shapeIndex / perQuantile];
    s.scale = scales[shapeIndex % perQuantile / shares];
    s.fastShare = fastShares[shapeIndex % shares];
    s.marginAt5 = margins[marginIndex];
    s.marginAt10 = candidates::marginAt10(s.marginAt5);
    return s;
}

namespace {

// Runs work(shape) for every shape on two threads; cells of different shapes never overlap.
template<typename Work>
void forEachShape(int shapes, const Work &work)
{
    std::atomic<int> next {0};
    auto run = [&] {
        for (int shape = next++; shape < shapes; shape = next++)
            work(shape);
    };
    std::thread helper(run);
    run();
    helper.join();
}

} // namespace

OutcomeTable::OutcomeTable(const CandidateGrid &grid, const QList<EnrolledSubject> &subjects, Protocol protocol)
    : m_grid(grid), m_subjects(int(subjects.size())), m_margins(int(grid.margins.size()))
{
    const std::size_t cells = std::size_t(grid.shapes()) * m_margins * m_subjects;
    m_refused.assign(cells, 0);
    m_accepted.assign(cells * m_subjects, 0);
    // The attempts do not depend on the constants: counted once, on the first candidate.
    const ReferenceSource first = rhythmeval::shapeSource(grid.shape(0, 0));
    for (int s = 0; s < m_subjects; ++s) {
        const SubjectOutcome o = protocol == Protocol::Fixed ? rhythmeval::judgeFixed(first, subjects, s, kLevel)
                                                             : rhythmeval::judgeLearning(first, subjects, s, kLevel);
        m_genuineAttempts.append(o.genuineAttempts);
        m_impostorAttempts.append(o.impostorAttempts);
    }
    forEachShape(grid.shapes(), [&](int shape) {
        protocol == Protocol::Fixed ? fillFixed(shape, subjects) : fillLearning(shape, subjects);
    });
}

std::size_t OutcomeTable::at(int shape, int margin, int subject) const
{
    return (std::size_t(shape) * m_margins + margin) * m_subjects + subject;
}

void OutcomeTable::store(int shape, int margin, int subject, const SubjectOutcome &outcome)
{
    constexpr int kMax = std::numeric_limits<std::uint8_t>::max();
    if (outcome.refused > kMax)
        throw std::length_error("more refusals than the table holds");
    const std::size_t cell = at(shape, margin, subject);
    m_refused[cell] = std::uint8_t(outcome.refused);
    for (int o = 0; o < m_subjects; ++o) {
        if (outcome.accepted[o] > kMax)
            throw std::length_error("more acceptances than the table holds");
        m_accepted[cell * m_subjects + o] = std::uint8_t(outcome.accepted[o]);
    }
}

// With the fixed template a typing that passes at some margin passes at every smaller one (the levels are
// nested), so each typing needs only the largest margin at which it passes: found by halving the grid.
void OutcomeTable::fillFixed(int shape, const QList<EnrolledSubject> &subjects)
{
    QList<RhythmMatrix> references(m_margins);
    for (int s = 0; s < m_subjects; ++s) {
        const RhythmMatrix &training = subjects[s].training;
        for (int m = 0; m < m_margins; ++m) {
            const rhythm::ReferenceBuilder builder(training.values.constData(), training.rows, training.columns,
                                                   m_grid.shape(shape, m));
            references[m] = RhythmMatrix(rhythm::kReferenceRows, training.columns + 1);
            builder.build(kLevel, references[m].values.data());
        }
        // The last margin index at which x passes, -1 when none.
        auto largestPass = [&](const QList<double> &x) {
            int passing = -1, failing = m_margins;
            while (failing - passing > 1) {
                const int mid = (passing + failing) / 2;
                (passes(x, references[mid]) ? passing : failing) = mid;
            }
            return passing;
        };
        QList<int> refusedFrom(m_margins + 1, 0); // a typing is refused from index largestPass + 1 on
        for (const auto &x : subjects[s].genuineVectors)
            ++refusedFrom[largestPass(x) + 1];
        QList<QList<int>> refusedFromBy(m_subjects, QList<int>(m_margins + 1, 0));
        SubjectOutcome outcome;
        outcome.accepted = QList<int>(m_subjects, 0);
        for (int o = 0; o < m_subjects; ++o) {
            if (o == s)
                continue;
            for (const auto &x : subjects[o].firstVectors) {
                ++outcome.accepted[o];
                ++refusedFromBy[o][largestPass(x) + 1];
            }
        }
        for (int m = 0; m < m_margins; ++m) {
            outcome.refused += refusedFrom[m];
            for (int o = 0; o < m_subjects; ++o)
                outcome.accepted[o] -= refusedFromBy[o][m];
            store(shape, m, s, outcome);
        }
    }
}

void OutcomeTable::fillLearning(int shape, const QList<EnrolledSubject> &subjects)
{
    for (int m = 0; m < m_margins; ++m) {
        const ReferenceSource source = rhythmeval::shapeSource(m_grid.shape(shape, m));
        for (int s = 0; s < m_subjects; ++s)
            store(shape, m, s, rhythmeval::judgeLearning(source, subjects, s, kLevel));
    }
}

LevelRates OutcomeTable::rates(int shape, int margin, const QList<int> &judged, const QList<int> &pool) const
{
    LevelRates r;
    r.level = kLevel;
    for (int s : judged) {
        const std::size_t cell = at(shape, margin, s);
        int attempts = 0, accepted = 0;
        for (int o : pool) {
            attempts += m_impostorAttempts[s * m_subjects + o];
            accepted += m_accepted[cell * m_subjects + o];
        }
        r.addSubject(m_refused[cell], m_genuineAttempts[s], accepted, attempts);
    }
    r.averageOver(judged.size());
    return r;
}

namespace candidates {

CandidateGrid grid(OutcomeTable::Protocol protocol)
{
    auto steps = [](double first, double last, double step) {
        QList<double> values;
        for (int i = 0; first + i * step <= last + 1e-9; ++i)
            values.append(first + i * step);
        return values;
    };
    CandidateGrid g;
    g.quantiles = steps(0.0, 0.5, 0.1);
    g.scales = steps(0.9, 1.3, 0.05);
    g.fastShares = steps(0.0, 1.0, 0.25);
    // Each learning candidate is simulated login by login: a coarser margin step keeps it to minutes.
    g.margins = protocol == OutcomeTable::Protocol::Fixed ? steps(0.0, 0.8, 0.005) : steps(0.0, 0.6, 0.02);
    return g;
}

} // namespace candidates
