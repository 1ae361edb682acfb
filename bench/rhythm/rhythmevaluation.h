// The measuring protocol: enrol each subject on ten typings, judge its later typings and other people's first
// ones with reference rows (the engine library's, or the builder's with other constants) and the program's own
// scoring.
#pragma once

#include "rhythmscoring.h"
#include "typingdata.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

class TymcoreEngine;

namespace rhythm {
struct ReferenceShape;
}

struct EnrolledSubject
{
    QString id;
    QString trainingText; // the enrolment as the program stores it
    RhythmMatrix training; // from the training text, as the login reads it
    QList<QList<double>> genuineVectors; // its own typings of later sessions, in the order typed
    QList<int> genuineSessions; // the session of each of them
    QStringList genuineTexts; // the sample text of each of them, as a learning rule would store it
    QList<QList<double>> firstVectors; // its first typings: the impostor attempts against everybody else
};

struct LevelRates
{
    int level = 0;
    double falseRejection = 0; // fraction of genuine attempts refused, averaged over subjects
    double falseAcceptance = 0; // fraction of impostor attempts accepted, averaged over subjects
    int engineFailures = 0; // attempts that ended without a verdict (counted as not passed)

    // One judged subject's shares; a subject without attempts of a kind adds nothing to that rate.
    void addSubject(int refused, int genuineAttempts, int accepted, int impostorAttempts)
    {
        if (genuineAttempts > 0)
            falseRejection += double(refused) / genuineAttempts;
        if (impostorAttempts > 0)
            falseAcceptance += double(accepted) / impostorAttempts;
    }
    // The sums over the judged subjects become their averages.
    void averageOver(qsizetype subjects)
    {
        if (subjects > 0) {
            falseRejection /= double(subjects);
            falseAcceptance /= double(subjects);
        }
    }
};

// What one subject's template did at one level: own attempts refused, other subjects' attempts let in.
struct SubjectOutcome
{
    int genuineAttempts = 0;
    int refused = 0;
    QList<int> impostorAttempts; // by subject index; zero for the subject itself
    QList<int> accepted; // by subject index
    int failures = 0;
};

// Reference rows for a training matrix at a level; empty when none can be made.
using ReferenceSource = std::function<std::optional<RhythmMatrix>(const RhythmMatrix &training, int level)>;

namespace rhythmeval {

// Enrolment: session 4, reps 1-10; genuine: sessions 5-8; impostor: session 1, reps 1-5.
// Subjects without ten enrolment typings are left out.
QList<EnrolledSubject> enrol(const QList<RecordedTyping> &typings, QString *errorMessage);

// The engine library through the program's adapter.
ReferenceSource engineSource(TymcoreEngine &engine);
// The engine's builder with other constants.
ReferenceSource shapeSource(const rhythm::ReferenceShape &shape);

// The fixed template: enrolment rows judge every later typing and every impostor attempt.
SubjectOutcome judgeFixed(const ReferenceSource &source, const QList<EnrolledSubject> &subjects, int subject,
                          int level);

// The learning rule: later typings judged in order, each granted one taking the place of the oldest sample;
// the impostor attempts meet the template as it stands at the start of each session.
SubjectOutcome judgeLearning(const ReferenceSource &source, const QList<EnrolledSubject> &subjects, int subject,
                             int level);

// Rates over the judged subjects (by index into outcomes), counting impostor attempts only from the pool.
LevelRates rates(const QList<SubjectOutcome> &outcomes, const QList<int> &judged, const QList<int> &pool, int level);

} // namespace rhythmeval
