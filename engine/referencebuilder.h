// Turns a user's enrolment samples into the five reference vectors of the rhythm check.
#pragma once

#include <cstddef>
#include <vector>

namespace rhythm {

class ReferenceBuilder
{
public:
    static constexpr int kRows = 6;
    static constexpr int kReferenceRows = 5;
    static constexpr int kMinLevel = 0;
    static constexpr int kMaxLevel = 10;

    ReferenceBuilder(const double *samples, int sampleCount, int featureCount);

    // Number of samples that hold a whole typing (finite, positive timings); the others are ignored.
    int usableSamples() const { return static_cast<int>(m_usable.size()); }

    // Writes rows 0..4 (references), row 5 (the mean) and column featureCount (each row's length)
    // into out, which is kRows x (featureCount + 1), row-major. Requires usableSamples() > 0.
    void build(int level, double *out) const;

private:
    std::vector<double> mean() const;

    const double *m_samples;
    int m_features;
    std::vector<int> m_usable;
};

} // namespace rhythm
