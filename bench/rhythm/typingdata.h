// Recorded typings of the password ".tie5Roanl" (one row a typing, times in seconds) turned into the texts the
// program's key-timing capture would have stored for them.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

struct RecordedTyping
{
    QString subject;
    int session = 0;
    int rep = 0;
    QStringList keyDownGaps; // 8 texts: gaps between the counted key-downs
    QStringList keyUpDelays; // 9 texts: from the most recent counted key-down to each counted key's key-up

    // The sample text of the enrolment: gaps, then delays, each followed by a blank, then "% ".
    QString sampleText() const;
};

namespace typingdata {

// Counted keys of ".tie5Roanl": the period and Return are not letters or digits, Shift is no key of its own.
inline constexpr int kPasswordLength = 9;

// Reads the table; errorMessage tells what is wrong when the result is empty.
QList<RecordedTyping> readTable(const QString &path, QString *errorMessage);

// One typing from its hold times (9) and key-down gaps (8), in seconds, as the capture times it:
// whole milliseconds, clamped to 0.001 .. 1 by the capture's own formatting.
RecordedTyping fromTimes(const QList<double> &holds, const QList<double> &keyDownGaps);

} // namespace typingdata
