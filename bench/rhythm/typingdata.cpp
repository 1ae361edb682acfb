#include "typingdata.h"

#include "keytimingcapture.h"

#include <QFile>
#include <QTextStream>

#include <algorithm>
#include <cmath>

namespace typingdata {

namespace {

const char *const kKeys[kPasswordLength] = {"t", "i", "e", "five", "Shift.r", "o", "a", "n", "l"};

qint64 toMilliseconds(double seconds)
{
    return std::llround(seconds * 1000.0);
}

} // namespace

RecordedTyping fromTimes(const QList<double> &holds, const QList<double> &keyDownGaps)
{
    RecordedTyping typing;
    QList<double> down(kPasswordLength, 0.0);
    for (int k = 1; k < kPasswordLength; ++k)
        down[k] = down[k - 1] + keyDownGaps[k - 1];
    for (int k = 0; k < kPasswordLength - 1; ++k)
        typing.keyDownGaps.append(timingText(toMilliseconds(keyDownGaps[k])));
    for (int k = 0; k < kPasswordLength; ++k) {
        // A key-up is timed from the most recent counted key-down at or before it.
        const double up = down[k] + holds[k];
        double latestDown = down[k];
        for (double d : down) {
            if (d <= up)
                latestDown = std::max(latestDown, d);
        }
        typing.keyUpDelays.append(timingText(toMilliseconds(up - latestDown)));
    }
    return typing;
}

namespace {

// Where the table's columns lie: subject, session, repetition, then the holds and the key-down gaps in key order.
struct Columns
{
    int subject = -1, session = -1, rep = -1;
    QList<int> holds, gaps;

    explicit Columns(const QStringList &header)
        : subject(int(header.indexOf(QStringLiteral("subject")))),
          session(int(header.indexOf(QStringLiteral("sessionIndex")))), rep(int(header.indexOf(QStringLiteral("rep"))))
    {
        for (int k = 0; k < kPasswordLength; ++k) {
            holds.append(int(header.indexOf(QStringLiteral("H.%1").arg(kKeys[k]))));
            if (k + 1 < kPasswordLength)
                gaps.append(int(header.indexOf(QStringLiteral("DD.%1.%2").arg(kKeys[k], kKeys[k + 1]))));
        }
    }
    bool complete() const
    {
        return subject >= 0 && session >= 0 && rep >= 0 && !holds.contains(-1) && !gaps.contains(-1);
    }
};

// One row of cells; false when a cell that is read is not a number.
bool readRow(const QStringList &cells, const Columns &columns, RecordedTyping &typing)
{
    bool allOk = true;
    auto number = [&](int column) {
        bool ok = false;
        const double v = cells[column].toDouble(&ok);
        allOk = allOk && ok && std::isfinite(v);
        return v;
    };
    QList<double> holds, gaps;
    for (int c : columns.holds)
        holds.append(number(c));
    for (int c : columns.gaps)
        gaps.append(number(c));
    typing = fromTimes(holds, gaps);
    typing.subject = cells[columns.subject];
    bool sessionOk = false, repOk = false;
    typing.session = cells[columns.session].toInt(&sessionOk);
    typing.rep = cells[columns.rep].toInt(&repOk);
    return allOk && sessionOk && repOk;
}

} // namespace

QList<RecordedTyping> readTable(const QString &path, QString *errorMessage)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *errorMessage = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return {};
    }
    QTextStream in(&file);
    const QStringList header = in.readLine().trimmed().split(QLatin1Char(','));
    const Columns columns(header);
    if (!columns.complete()) {
        *errorMessage = QStringLiteral("%1: the header lacks a needed column").arg(path);
        return {};
    }

    QList<RecordedTyping> typings;
    for (int lineNumber = 2; !in.atEnd(); ++lineNumber) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty())
            continue;
        const QStringList cells = line.split(QLatin1Char(','));
        if (cells.size() != header.size()) {
            *errorMessage = QStringLiteral("%1:%2: %3 cells, expected %4")
                                .arg(path)
                                .arg(lineNumber)
                                .arg(cells.size())
                                .arg(header.size());
            return {};
        }
        RecordedTyping typing;
        if (!readRow(cells, columns, typing)) {
            *errorMessage = QStringLiteral("%1:%2: a cell is not a number").arg(path).arg(lineNumber);
            return {};
        }
        typings.append(typing);
    }
    if (typings.isEmpty())
        *errorMessage = QStringLiteral("%1: no typings").arg(path);
    return typings;
}

} // namespace typingdata

QString RecordedTyping::sampleText() const
{
    QString text;
    for (const QString &t : keyDownGaps + keyUpDelays)
        text += t + QLatin1Char(' ');
    return text + QStringLiteral("% ");
}
