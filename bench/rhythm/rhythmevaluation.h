// The measuring protocol: enrol each subject on ten typings, judge its later typings and other people's first
// ones with the engine's reference rows and the program's own scoring.
#pragma once

#include "rhythmscoring.h"
#include "typingdata.h"

#include <QList>
#include <QString>

#include <optional>

class TymcoreEngine;

struct EnrolledSubject
{
    QString id;
    RhythmMatrix training; // from the training text, as the login reads it
    QList<QList<double>> genuineVectors; // its own typings of later sessions
    QList<QList<double>> firstVectors; // its first typings: the impostor attempts against everybody else
};

struct LevelRates
{
    int level = 0;
    double falseRejection = 0; // fraction of genuine attempts refused, averaged over subjects
    double falseAcceptance = 0; // fraction of impostor attempts accepted, averaged over subjects
    int engineFailures = 0; // attempts that ended without a verdict (counted as not passed)
};

namespace rhythmeval {

// Enrolment: session 4, reps 1-10; genuine: sessions 5-8; impostor: session 1, reps 1-5.
// Subjects without ten enrolment typings are left out.
QList<EnrolledSubject> enrol(const QList<RecordedTyping> &typings, QString *errorMessage);

// Rates at one level; judged holds the indexes of the subjects whose rates are averaged (every other
// subject still serves as impostor).
LevelRates measure(TymcoreEngine &engine, const QList<EnrolledSubject> &subjects, const QList<int> &judged, int level);

} // namespace rhythmeval
