// Turns a user's enrolment samples into the five reference vectors of the rhythm check.
//
// The program accepts a typing x when at least three rows r score 1 - |x - r| / |r| >= 0.6, that is when x lies in
// the ball of radius 0.4 |r| around r for three rows. Each such ball sees at most asin(0.4) (about 23.6 degrees) of
// rhythm shape around its row, and from a row along the user's rhythm it takes typings from 0.6 to 1.4 times the
// row's length; the farther the shape is off, the narrower that speed window. The rows therefore all lie along the
// user's rhythm, and the level only decides how much of that window a typing must fill:
//   rows 0, 1: the rhythm at length kScale * |rhythm| * exp(-margin / 2)   (the faster end)
//   rows 2, 3: the rhythm at length kScale * |rhythm| * exp(margin)        (the slower end)
//   row 4:     the rhythm at a length no captured typing can reach (every timing is at most one second)
// so a typing passes exactly when it lies in both balls of rows 0 to 3, which holds for every ball along the rhythm
// between those two lengths. margin = level * kMarginPerLevel: a higher level asks for more room on both sides,
// and whatever a stricter level accepts, every more lenient one accepts too. The fast side gets half the margin
// because a practised user gets faster; an unpractised impostor types slower.
#pragma once

#include <vector>

namespace rhythm {

class ReferenceBuilder
{
public:
    static constexpr int kRows = 6;
    static constexpr int kMinLevel = 0;
    static constexpr int kMaxLevel = 10;

    // The user's rhythm is the lower quintile of each timing over the samples: hesitations only ever lengthen a
    // timing, and practice takes them away, so the faster typings show the rhythm the user will keep.
    static constexpr double kRhythmQuantile = 0.2;
    // Ball length relative to the rhythm: its speed window, 0.6 to 1.4 times the length, then sits a little
    // slower than the lower quintile, around the user's ordinary typing.
    static constexpr double kScale = 1.1;
    // Room (in natural log of the ball length) that each level adds to what a typing must fill.
    static constexpr double kMarginPerLevel = 0.03;

    ReferenceBuilder(const double *samples, int sampleCount, int featureCount);

    // Samples that hold a whole typing (every timing finite and positive); missing samples arrive as zero rows.
    int usableSamples() const { return static_cast<int>(m_usable.size()); }

    // The lower quintile of each timing over the usable samples, never below one millisecond.
    std::vector<double> rhythm() const;

    // Writes rows 0..4 (references), row 5 (the rhythm) and in column featureCount each row's length into out,
    // kRows x (featureCount + 1), row-major. Requires usableSamples() > 0 and level within 0..10.
    void build(int level, double *out) const;

private:
    const double *m_samples;
    int m_features;
    std::vector<int> m_usable;
};

} // namespace rhythm
