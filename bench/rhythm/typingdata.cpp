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

QList<RecordedTyping> readTable(const QString &path, QString *errorMessage)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *errorMessage = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return {};
    }
    QTextStream in(&file);
    const QStringList header = in.readLine().trimmed().split(QLatin1Char(','));
    const int subjectColumn = header.indexOf(QStringLiteral("subject"));
    const int sessionColumn = header.indexOf(QStringLiteral("sessionIndex"));
    const int repColumn = header.indexOf(QStringLiteral("rep"));
    QList<int> holdColumns, gapColumns;
    for (int k = 0; k < kPasswordLength; ++k) {
        holdColumns.append(header.indexOf(QStringLiteral("H.%1").arg(kKeys[k])));
        if (k + 1 < kPasswordLength)
            gapColumns.append(header.indexOf(QStringLiteral("DD.%1.%2").arg(kKeys[k], kKeys[k + 1])));
    }
    if (subjectColumn < 0 || sessionColumn < 0 || repColumn < 0 || holdColumns.contains(-1) ||
        gapColumns.contains(-1)) {
        *errorMessage = QStringLiteral("%1: the header lacks a needed column").arg(path);
        return {};
    }

    QList<RecordedTyping> typings;
    int lineNumber = 1;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        ++lineNumber;
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
        bool allOk = true;
        auto number = [&](int column) {
            bool ok = false;
            const double v = cells[column].toDouble(&ok);
            allOk = allOk && ok && std::isfinite(v);
            return v;
        };
        QList<double> holds, gaps;
        for (int c : holdColumns)
            holds.append(number(c));
        for (int c : gapColumns)
            gaps.append(number(c));
        RecordedTyping typing = fromTimes(holds, gaps);
        typing.subject = cells[subjectColumn];
        bool sessionOk = false, repOk = false;
        typing.session = cells[sessionColumn].toInt(&sessionOk);
        typing.rep = cells[repColumn].toInt(&repOk);
        if (!allOk || !sessionOk || !repOk) {
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
