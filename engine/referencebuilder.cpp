#include "referencebuilder.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace rhythm {

namespace {

// Timings are whole milliseconds in seconds; the capture never stores less.
constexpr double kFloor = 0.001;
// A row beyond every ball reach: a typing x has |x| <= sqrt(N) (timings are at most one second), so
// |x - r| >= |r| - sqrt(N) > 0.4 |r| once |r| > sqrt(N) / 0.6.
constexpr double kOutOfReach = 1.5 / 0.6;

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

// Quantile q of sorted values, linear between neighbouring order statistics.
double quantile(const std::vector<double> &sorted, double q)
{
    const double pos = q * static_cast<double>(sorted.size() - 1);
    const auto lower = static_cast<std::size_t>(pos);
    const std::size_t upper = std::min(lower + 1, sorted.size() - 1);
    const double weight = pos - static_cast<double>(lower);
    return sorted[lower] * (1.0 - weight) + sorted[upper] * weight;
}

void writeRow(double *row, const std::vector<double> &direction, double rowLength)
{
    const int n = static_cast<int>(direction.size());
    const double scale = rowLength / length(direction.data(), n);
    for (int i = 0; i < n; ++i)
        row[i] = direction[i] * scale;
    row[n] = length(row, n);
}

} // namespace

double ReferenceShape::margin(int level) const
{
    if (level <= 5)
        return marginAt5 * level / 5.0;
    return marginAt5 + (marginAt10 - marginAt5) * (level - 5) / 5.0;
}

ReferenceBuilder::ReferenceBuilder(const double *samples, int sampleCount, int featureCount,
                                   const ReferenceShape &shape)
    : m_samples(samples), m_features(featureCount), m_shape(shape)
{
    for (int j = 0; j < sampleCount; ++j) {
        if (isUsable(samples + static_cast<std::ptrdiff_t>(j) * featureCount, featureCount))
            m_usable.push_back(j);
    }
}

std::vector<double> ReferenceBuilder::rhythm() const
{
    std::vector<double> result(m_features);
    std::vector<double> values(m_usable.size());
    for (int i = 0; i < m_features; ++i) {
        for (std::size_t k = 0; k < m_usable.size(); ++k)
            values[k] = m_samples[static_cast<std::ptrdiff_t>(m_usable[k]) * m_features + i];
        std::sort(values.begin(), values.end());
        result[i] = std::max(quantile(values, m_shape.rhythmQuantile), kFloor);
    }
    return result;
}

void ReferenceBuilder::build(int level, double *out) const
{
    const std::ptrdiff_t stride = m_features + 1;
    const std::vector<double> r = rhythm();
    const double base = m_shape.scale * length(r.data(), m_features);
    const double margin = m_shape.margin(level);
    const double fastEnd = base * std::exp(-m_shape.fastShare * margin);
    const double slowEnd = base * std::exp((1.0 - m_shape.fastShare) * margin);
    const double outOfReach = kOutOfReach * std::sqrt(static_cast<double>(m_features));

    writeRow(out + 0 * stride, r, fastEnd);
    writeRow(out + 1 * stride, r, fastEnd);
    writeRow(out + 2 * stride, r, slowEnd);
    writeRow(out + 3 * stride, r, slowEnd);
    writeRow(out + 4 * stride, r, outOfReach);
    writeRow(out + 5 * stride, r, length(r.data(), m_features));
}

} // namespace rhythm
