// Turns a user's enrolment samples into the five reference vectors of the rhythm check.
//
// The program accepts a typing x when at least three rows r score 1 - |x - r| / |r| >= 0.6, that is when x lies in
// the ball of radius 0.4 |r| around r for three rows. Each such ball sees at most asin(0.4) (about 23.6 degrees) of
// rhythm shape around its row, and from a row along the user's rhythm it takes typings from 0.6 to 1.4 times the
// row's length; the farther the shape is off, the narrower that speed window. The rows therefore all lie along the
// user's rhythm, and the level only decides how much of that window a typing must fill:
//   rows 0, 1: the rhythm at length scale * |rhythm| * exp(-fastShare * margin)        (the faster end)
//   rows 2, 3: the rhythm at length scale * |rhythm| * exp((1 - fastShare) * margin)   (the slower end)
//   row 4:     the rhythm at a length no captured typing can reach (every timing is at most one second)
// so a typing passes exactly when it lies in both balls of rows 0 to 3, which holds for every ball along the rhythm
// between those two lengths. The faster end caps how slow a typing may be (1.4 times its length), the slower end how
// fast (0.6 times its length), and both narrow the shapes taken. The margin grows with the level, so whatever a
// stricter level accepts, every more lenient one accepts too; level 0 has none and is a single ball.
#pragma once

#include <vector>

namespace rhythm {

// The engine's constants. The defaults were chosen on recorded typing with the program's learning rule (see the
// README): of the shapes tried, the one with the fewest refusals of a user's own typings at level 5, the level the
// program asks for, when level 5 lets in at most one impostor typing in ten.
struct ReferenceShape
{
    // The user's rhythm is this quantile of each timing over the samples: hesitations only ever lengthen a timing,
    // and practice takes them away, so the faster typings show the rhythm the user will keep.
    double rhythmQuantile = 0.3;
    // Ball length relative to the rhythm's: its speed window, 0.6 to 1.4 times the length, then reaches from a little
    // faster than the rhythm to well beyond the user's ordinary typing.
    double scale = 1.25;
    // Share of the margin taken at the faster end (rows 0, 1); the rest goes to the slower end.
    double fastShare = 0.5;
    // Margin (in natural log of the ball length) at level 5 and at level 10, linear in the level between them and
    // from none at level 0: the strict levels step faster, so that level 10 refuses about half of a user's typings.
    double marginAt5 = 0.16;
    double marginAt10 = 0.46;

    double margin(int level) const;
};

class ReferenceBuilder
{
public:
    static constexpr int kRows = 6;
    static constexpr int kMinLevel = 0;
    static constexpr int kMaxLevel = 10;

    ReferenceBuilder(const double *samples, int sampleCount, int featureCount, const ReferenceShape &shape = {});

    // Samples that hold a whole typing (every timing finite and positive); missing samples arrive as zero rows.
    int usableSamples() const { return static_cast<int>(m_usable.size()); }

    // The rhythm quantile of each timing over the usable samples, never below one millisecond.
    std::vector<double> rhythm() const;

    // Writes rows 0..4 (references), row 5 (the rhythm) and in column featureCount each row's length into out,
    // kRows x (featureCount + 1), row-major. Requires usableSamples() > 0 and level within 0..10.
    void build(int level, double *out) const;

private:
    const double *m_samples;
    int m_features;
    ReferenceShape m_shape;
    std::vector<int> m_usable;
};

} // namespace rhythm
