#include "referencebuilder.h"

#include <algorithm>
#include <cmath>

namespace rhythm {

namespace {

// Timings are whole milliseconds in seconds; a row may never be zero, so nothing goes below this.
constexpr double kFloor = 0.001;

bool isUsable(const double *sample, int featureCount)
{
    for (int i = 0; i < featureCount; ++i) {
        if (!std::isfinite(sample[i]) || sample[i] <= 0.0)
            return false;
    }
    return true;
}

double length(const double *v, int n)
{
    double sum = 0.0;
    for (int i = 0; i < n; ++i)
        sum += v[i] * v[i];
    return std::sqrt(sum);
}

} // namespace

ReferenceBuilder::ReferenceBuilder(const double *samples, int sampleCount, int featureCount)
    : m_samples(samples), m_features(featureCount)
{
    for (int j = 0; j < sampleCount; ++j) {
        if (isUsable(samples + static_cast<std::ptrdiff_t>(j) * featureCount, featureCount))
            m_usable.push_back(j);
    }
}

std::vector<double> ReferenceBuilder::mean() const
{
    std::vector<double> m(m_features, 0.0);
    for (int j : m_usable) {
        const double *s = m_samples + static_cast<std::ptrdiff_t>(j) * m_features;
        for (int i = 0; i < m_features; ++i)
            m[i] += s[i];
    }
    for (double &v : m)
        v /= static_cast<double>(m_usable.size());
    return m;
}

void ReferenceBuilder::build(int level, double *out) const
{
    (void)level;
    const int stride = m_features + 1;
    const std::vector<double> m = mean();
    for (int k = 0; k < kRows; ++k) {
        double *row = out + static_cast<std::ptrdiff_t>(k) * stride;
        for (int i = 0; i < m_features; ++i)
            row[i] = std::max(m[i], kFloor);
        row[m_features] = length(row, m_features);
    }
}

} // namespace rhythm
