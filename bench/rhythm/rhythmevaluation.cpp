#include "rhythmevaluation.h"

#include "tymcoreengine.h"

#include <QMap>

namespace rhythmeval {

namespace {

constexpr int kEnrolSession = 4;
constexpr int kFirstGenuineSession = 5;
constexpr int kImpostorSession = 1;
constexpr int kImpostorTypings = 5;

// False when the adapter, the engine or the scoring gives no verdict: the login attempt then ends unpassed.
bool passes(const QList<double> &x, const std::optional<RhythmMatrix> &reference, int *failures)
{
    const auto verdict = reference ? rhythm::judge(x, *reference) : std::nullopt;
    if (!verdict) {
        ++*failures;
        return false;
    }
    return verdict->passed;
}

} // namespace

QList<EnrolledSubject> enrol(const QList<RecordedTyping> &typings, QString *errorMessage)
{
    const int length = typingdata::kPasswordLength;
    QMap<QString, EnrolledSubject> bySubject;
    QMap<QString, QString> trainingTexts;
    QMap<QString, int> enrolled;
    for (const RecordedTyping &t : typings) {
        EnrolledSubject &s = bySubject[t.subject];
        s.id = t.subject;
        const auto x = rhythm::loginVector(t.keyDownGaps, t.keyUpDelays, length);
        if (!x) {
            *errorMessage = QStringLiteral("%1: a timing text does not read back").arg(t.subject);
            return {};
        }
        if (t.session == kEnrolSession && t.rep >= 1 && t.rep <= rhythm::kSampleCount) {
            trainingTexts[t.subject] += t.sampleText();
            ++enrolled[t.subject];
        } else if (t.session >= kFirstGenuineSession) {
            s.genuineVectors.append(*x);
        } else if (t.session == kImpostorSession && t.rep >= 1 && t.rep <= kImpostorTypings) {
            s.firstVectors.append(*x);
        }
    }
    QList<EnrolledSubject> subjects;
    for (EnrolledSubject &s : bySubject) {
        if (enrolled.value(s.id) != rhythm::kSampleCount || s.genuineVectors.isEmpty())
            continue;
        const auto training = rhythm::trainingMatrix(trainingTexts.value(s.id), rhythm::featureCount(length));
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

LevelRates measure(TymcoreEngine &engine, const QList<EnrolledSubject> &subjects, const QList<int> &judged, int level)
{
    LevelRates rates;
    rates.level = level;
    for (int s : judged) {
        const auto reference = engine.referenceMatrix(subjects[s].training, static_cast<qint16>(level));
        int refused = 0;
        for (const auto &x : subjects[s].genuineVectors)
            refused += !passes(x, reference, &rates.engineFailures);
        int impostorAttempts = 0, accepted = 0;
        for (int o = 0; o < subjects.size(); ++o) {
            if (o == s)
                continue;
            for (const auto &x : subjects[o].firstVectors) {
                ++impostorAttempts;
                accepted += passes(x, reference, &rates.engineFailures);
            }
        }
        rates.falseRejection += double(refused) / subjects[s].genuineVectors.size();
        if (impostorAttempts > 0)
            rates.falseAcceptance += double(accepted) / impostorAttempts;
    }
    if (!judged.isEmpty()) {
        rates.falseRejection /= judged.size();
        rates.falseAcceptance /= judged.size();
    }
    return rates;
}

} // namespace rhythmeval
