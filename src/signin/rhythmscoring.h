#pragma once

#include <QList>
#include <QString>

#include <optional>

// Matrices are row-major: element (row, column) lies at row * columns + column.
struct RhythmMatrix
{
    int rows = 0;
    int columns = 0;
    QList<double> values;

    RhythmMatrix() = default;
    RhythmMatrix(int rowCount, int columnCount) : rows(rowCount), columns(columnCount), values(rowCount * columnCount)
    {
    }
    double at(int row, int column) const { return values[row * columns + column]; }
    double &at(int row, int column) { return values[row * columns + column]; }
    QList<double> row(int r) const { return values.mid(r * columns, columns); }
};

namespace rhythm {

inline constexpr int kSampleCount = 10;
inline constexpr int kReferenceRows = 6;
inline constexpr int kScoredRows = 5;
inline constexpr double kPassScore = 0.6;
inline constexpr int kRowsToPass = 3;
inline constexpr qint16 kSecurityLevel = 5;

// N = 2L - 1 features for a password of L characters.
inline int featureCount(int passwordLength)
{
    return 2 * passwordLength - 1;
}

// The login vector: gaps 0..L-2, then delays 0..L-1, read from their texts.
// Empty when a text is not a number.
std::optional<QList<double>> loginVector(const QStringList &keyDownGaps, const QStringList &keyUpDelays,
                                         int passwordLength);

// The training matrix (10 x N) from the stored training text: samples end in "% ", numbers in blanks;
// missing samples and numbers are 0, samples beyond the tenth are ignored.
// Empty when a part that is read is not a number.
std::optional<RhythmMatrix> trainingMatrix(const QString &trainData, int features);

// 1 - |x - r| / |r| over the first x.size() elements of r; empty when r is all zeros (no score exists).
std::optional<double> score(const QList<double> &x, const QList<double> &r);

struct Verdict
{
    QList<double> scores;
    int hits = 0;
    bool passed = false;
};

// Scores the login vector against rows 0..4 of the reference matrix (6 x N+1).
// Empty when a row is all zeros: the attempt then ends without a verdict.
std::optional<Verdict> judge(const QList<double> &x, const RhythmMatrix &reference);

} // namespace rhythm
