#include "rhythmevaluation.h"

#include "referencebuilder.h"
#include "rhythmlearning.h"
#include "tymcoreengine.h"

#include <QMap>

#include <algorithm>
#include <stdexcept>
#include <tuple>

namespace rhythmeval {

namespace {

constexpr int kEnrolSession = 4;
constexpr int kFirstGenuineSession = 5;
constexpr int kImpostorSession = 1;
constexpr int kImpostorTypings = 5;

// False when the reference or the scoring gives no verdict: the login attempt then ends unpassed.
bool passes(const QList<double> &x, const std::optional<RhythmMatrix> &reference, int *failures)
{
    const auto verdict = reference ? rhythm::judge(x, *reference) : std::nullopt;
    if (!verdict) {
        ++*failures;
        return false;
    }
    return verdict->passed;
}

SubjectOutcome emptyOutcome(const QList<EnrolledSubject> &subjects)
{
    SubjectOutcome outcome;
    outcome.impostorAttempts = QList<int>(subjects.size(), 0);
    outcome.accepted = QList<int>(subjects.size(), 0);
    return outcome;
}

void attack(const std::optional<RhythmMatrix> &reference, const QList<EnrolledSubject> &subjects, int subject,
            SubjectOutcome *outcome)
{
    for (int o = 0; o < subjects.size(); ++o) {
        if (o == subject)
            continue;
        for (const auto &x : subjects[o].firstVectors) {
            ++outcome->impostorAttempts[o];
            outcome->accepted[o] += passes(x, reference, &outcome->failures);
        }
    }
}

} // namespace

QList<EnrolledSubject> enrol(const QList<RecordedTyping> &typings, QString *errorMessage)
{
    const int length = typingdata::kPasswordLength;
    // Later typings in the order typed, whatever the order of the table.
    QList<const RecordedTyping *> ordered;
    for (const RecordedTyping &t : typings)
        ordered.append(&t);
    std::stable_sort(ordered.begin(), ordered.end(), [](const RecordedTyping *a, const RecordedTyping *b) {
        return std::tie(a->subject, a->session, a->rep) < std::tie(b->subject, b->session, b->rep);
    });
    QMap<QString, EnrolledSubject> bySubject;
    QMap<QString, int> enrolled;
    for (const RecordedTyping *t : ordered) {
        EnrolledSubject &s = bySubject[t->subject];
        s.id = t->subject;
        const auto x = rhythm::loginVector(t->keyDownGaps, t->keyUpDelays, length);
        if (!x) {
            *errorMessage = QStringLiteral("%1: a timing text does not read back").arg(t->subject);
            return {};
        }
        if (t->session == kEnrolSession && t->rep >= 1 && t->rep <= rhythm::kSampleCount) {
            s.trainingText += t->sampleText();
            ++enrolled[t->subject];
        } else if (t->session >= kFirstGenuineSession) {
            s.genuineVectors.append(*x);
            s.genuineSessions.append(t->session);
            s.genuineTexts.append(t->sampleText());
        } else if (t->session == kImpostorSession && t->rep >= 1 && t->rep <= kImpostorTypings) {
            s.firstVectors.append(*x);
        }
    }
    QList<EnrolledSubject> subjects;
    for (EnrolledSubject &s : bySubject) {
        if (enrolled.value(s.id) != rhythm::kSampleCount || s.genuineVectors.isEmpty())
            continue;
        const auto training = rhythm::trainingMatrix(s.trainingText, rhythm::featureCount(length));
        if (!training) {
            *errorMessage = QStringLiteral("%1: the training text does not read back").arg(s.id);
            return {};
        }
        s.training = *training;
        subjects.append(s);
    }
    if (subjects.size() < 2)
        *errorMessage = QStringLiteral("fewer than two subjects with ten enrolment typings and later sessions");
    return subjects;
}

ReferenceSource engineSource(TymcoreEngine &engine)
{
    return [&engine](const RhythmMatrix &training, int level) -> std::optional<RhythmMatrix> {
        RhythmMatrix reference;
        if (!engine.referenceMatrix(training, static_cast<qint16>(level), &reference))
            return std::nullopt;
        return reference;
    };
}

ReferenceSource shapeSource(const rhythm::ReferenceShape &shape)
{
    return [shape](const RhythmMatrix &training, int level) -> std::optional<RhythmMatrix> {
        const rhythm::ReferenceBuilder builder(training.values.constData(), training.rows, training.columns, shape);
        if (builder.usableSamples() == 0)
            return std::nullopt;
        RhythmMatrix reference(rhythm::kReferenceRows, training.columns + 1);
        builder.build(level, reference.values.data());
        return reference;
    };
}

SubjectOutcome judgeFixed(const ReferenceSource &source, const QList<EnrolledSubject> &subjects, int subject, int level)
{
    SubjectOutcome outcome = emptyOutcome(subjects);
    const auto reference = source(subjects[subject].training, level);
    for (const auto &x : subjects[subject].genuineVectors) {
        ++outcome.genuineAttempts;
        outcome.refused += !passes(x, reference, &outcome.failures);
    }
    attack(reference, subjects, subject, &outcome);
    return outcome;
}

SubjectOutcome judgeLearning(const ReferenceSource &source, const QList<EnrolledSubject> &subjects, int subject,
                             int level)
{
    const EnrolledSubject &s = subjects[subject];
    SubjectOutcome outcome = emptyOutcome(subjects);
    // The stored text follows the program's learning rule; the matrix it reads back to is kept alongside, since reading
    // the text after every login would cost most of the time here.
    QString trainingText = s.trainingText;
    RhythmMatrix training = s.training;
    auto reference = source(training, level);
    for (qsizetype i = 0; i < s.genuineVectors.size(); ++i) {
        if (i == 0 || s.genuineSessions[i] != s.genuineSessions[i - 1])
            attack(reference, subjects, subject, &outcome);
        ++outcome.genuineAttempts;
        if (!passes(s.genuineVectors[i], reference, &outcome.failures)) {
            ++outcome.refused;
            continue;
        }
        trainingText = rhythm::withLoginSample(trainingText, s.genuineTexts[i]);
        training.values.remove(0, training.columns);
        training.values.append(s.genuineVectors[i]);
        reference = source(training, level);
    }
    const auto learnt = rhythm::trainingMatrix(trainingText, training.columns);
    if (!learnt || learnt->values != training.values)
        throw std::logic_error("the learnt training text reads back to other samples");
    return outcome;
}

LevelRates rates(const QList<SubjectOutcome> &outcomes, const QList<int> &judged, const QList<int> &pool, int level)
{
    LevelRates r;
    r.level = level;
    for (int s : judged) {
        const SubjectOutcome &o = outcomes[s];
        r.engineFailures += o.failures;
        int attempts = 0, accepted = 0;
        for (int i : pool) {
            attempts += o.impostorAttempts[i];
            accepted += o.accepted[i];
        }
        r.addSubject(o.refused, o.genuineAttempts, accepted, attempts);
    }
    r.averageOver(judged.size());
    return r;
}

} // namespace rhythmeval
