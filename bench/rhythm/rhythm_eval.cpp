// Measures the rhythm check on recorded typing with the program's own scoring. Prints the rates (in percent) for
// each security level; the last line is the program's level 5.
//
// By default the engine library from the program folder judges, called through the program's adapter: figures on
// the very subjects its constants were chosen on. --cross-validate chooses the constants on half of the subjects
// and judges them on the other half, for several random splits, both ways: figures for people the constants were
// not chosen on. --adapt measures the learning rule instead of the fixed enrolment.
//
// rhythm_eval <csv> [--adapt] [--level N] [--half odd|even] [--plot <png>] [--engine <folder>]
// rhythm_eval <csv> --cross-validate [--adapt] [--splits N] [--seed N] [--plot <png>]
#include "crossvalidation.h"
#include "levelplot.h"
#include "outcometable.h"
#include "rhythmevaluation.h"
#include "tymcoreengine.h"
#include "typingdata.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLibrary>
#include <QStringList>

#include <cstdio>
#include <memory>

namespace {

struct Options
{
    QString csv, plotPath, half;
    QString programFolder = qEnvironmentVariable("VAULTRY_PROGRAM_DIR", QStringLiteral(VAULTRY_PROGRAM_DIR));
    int onlyLevel = -1;
    bool adapt = false;
    bool crossValidate = false;
    int splits = 25;
    unsigned seed = 1;
};

int usage()
{
    std::fprintf(stderr,
                 "usage: rhythm_eval <csv> [--adapt] [--level 0..10] [--half odd|even] [--plot <png>] "
                 "[--engine <folder>]\n"
                 "       rhythm_eval <csv> --cross-validate [--adapt] [--splits N] [--seed N] "
                 "[--plot <png>]\n");
    return 2;
}

bool parse(int argc, char **argv, Options *o)
{
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        const bool hasValue = i + 1 < argc;
        bool ok = true;
        if (arg == QLatin1String("--level") && hasValue) {
            o->onlyLevel = QString::fromLocal8Bit(argv[++i]).toInt(&ok);
            ok = ok && o->onlyLevel >= 0 && o->onlyLevel <= 10;
        } else if (arg == QLatin1String("--half") && hasValue) {
            o->half = QString::fromLocal8Bit(argv[++i]);
            ok = o->half == QLatin1String("odd") || o->half == QLatin1String("even");
        } else if (arg == QLatin1String("--plot") && hasValue) {
            o->plotPath = QString::fromLocal8Bit(argv[++i]);
        } else if (arg == QLatin1String("--engine") && hasValue) {
            o->programFolder = QString::fromLocal8Bit(argv[++i]);
        } else if (arg == QLatin1String("--splits") && hasValue) {
            o->splits = QString::fromLocal8Bit(argv[++i]).toInt(&ok);
            ok = ok && o->splits > 0;
        } else if (arg == QLatin1String("--seed") && hasValue) {
            o->seed = QString::fromLocal8Bit(argv[++i]).toUInt(&ok);
        } else if (arg == QLatin1String("--adapt")) {
            o->adapt = true;
        } else if (arg == QLatin1String("--cross-validate")) {
            o->crossValidate = true;
        } else if (o->csv.isEmpty() && !arg.startsWith(QLatin1String("--"))) {
            o->csv = arg;
        } else {
            ok = false;
        }
        if (!ok)
            return false;
    }
    return !o->csv.isEmpty();
}

QString percent(double fraction)
{
    return QString::number(fraction * 100.0, 'f', 1) + QLatin1Char('%');
}

void printRates(const char *prefix, const LevelRates &r)
{
    std::printf("%s%d FRR=%s FAR=%s\n", prefix, r.level, qPrintable(percent(r.falseRejection)),
                qPrintable(percent(r.falseAcceptance)));
}

QString describe(const rhythm::ReferenceShape &s)
{
    return QStringLiteral("quantile %1, scale %2, fast share %3, margin %4 at level 5 (%5 at 10)")
        .arg(s.rhythmQuantile, 0, 'f', 2)
        .arg(s.scale, 0, 'f', 2)
        .arg(s.fastShare, 0, 'f', 2)
        .arg(s.marginAt5, 0, 'f', 3)
        .arg(s.marginAt10, 0, 'f', 3);
}

// Microseconds per engine call, bare and through the program's adapter.
void printSpeed(TymcoreEngine &engine, const QString &libraryPath, const RhythmMatrix &training)
{
    constexpr int kCalls = 20000;
    QElapsedTimer timer;
    timer.start();
    RhythmMatrix matrix;
    for (int i = 0; i < kCalls; ++i)
        engine.referenceMatrix(training, rhythm::kSecurityLevel, &matrix);
    const double adapterMicros = timer.nsecsElapsed() / 1000.0 / kCalls;

    QLibrary library(libraryPath);
    using Fn = qint32 (*)(const double *, qint16, qint16, qint32, double *);
    const auto tymcore = reinterpret_cast<Fn>(library.resolve("tymcore"));
    if (!tymcore)
        return;
    QList<double> reference(rhythm::kReferenceRows * (training.columns + 1));
    timer.restart();
    for (int i = 0; i < kCalls; ++i) {
        reference.fill(0.0);
        tymcore(training.values.constData(), rhythm::kSecurityLevel, static_cast<qint16>(training.rows),
                training.columns, reference.data());
    }
    const double bareMicros = timer.nsecsElapsed() / 1000.0 / kCalls;
    std::printf("engine call: %.2f us (through the program's adapter: %.2f us)\n", bareMicros, adapterMicros);
}

QString protocolNote(bool adapt, const QString &subjects, const QString &impostors)
{
    return QStringLiteral(
               "Data: Killourhy and Maxion, \"Comparing Anomaly-Detection Algorithms for Keystroke Dynamics\", DSN "
               "2009 (%1). Enrolment: session 4, typings 1-10; genuine: sessions 5-8%2; impostors: the first 5 "
               "typings of every other subject%3.")
        .arg(subjects, adapt ? QStringLiteral(", each granted one replacing the oldest sample") : QString(), impostors);
}

bool savePlot(const QString &path, const QList<LevelRates> &rates, const QString &title, const QString &note)
{
    const QImage image = levelplot::draw(rates, rhythm::kSecurityLevel, title, note);
    if (image.save(path))
        return true;
    std::fprintf(stderr, "rhythm_eval: cannot write %s\n", qPrintable(path));
    return false;
}

// Figures of the engine library on the subjects (all, or one half judged).
int measureEngine(const Options &o, const QList<EnrolledSubject> &subjects)
{
    const QString libraryPath = TymcoreEngine::libraryPathIn(o.programFolder);
    TymcoreEngine engine(libraryPath);
    QString error;
    if (!engine.load(&error)) {
        std::fprintf(stderr, "rhythm_eval: no engine: %s\n", qPrintable(error));
        return 1;
    }

    // Halves by position in subject order, for checking constants on subjects they were not chosen on.
    QList<int> judged, all;
    for (int s = 0; s < subjects.size(); ++s) {
        all.append(s);
        if (o.half.isEmpty() || (s % 2 == 1) == (o.half == QLatin1String("odd")))
            judged.append(s);
    }
    qsizetype genuine = 0;
    for (int s : judged)
        genuine += subjects[s].genuineVectors.size();
    std::printf("subjects: %lld (judged %lld%s), genuine attempts %lld%s; rates in percent, averaged over subjects\n",
                static_cast<long long>(subjects.size()), static_cast<long long>(judged.size()),
                o.half.isEmpty() ? "" : qPrintable(QStringLiteral(", ") + o.half + QStringLiteral(" half")),
                static_cast<long long>(genuine), o.adapt ? ", learning from every granted one" : "");
    printSpeed(engine, libraryPath, subjects.first().training);

    const ReferenceSource source = rhythmeval::engineSource(engine);
    QList<LevelRates> all11;
    int failures = 0;
    for (int level = 0; level <= 10; ++level) {
        if (o.onlyLevel >= 0 && level != o.onlyLevel && level != rhythm::kSecurityLevel)
            continue;
        QList<SubjectOutcome> outcomes(subjects.size());
        for (int s : judged) {
            outcomes[s] = o.adapt ? rhythmeval::judgeLearning(source, subjects, s, level)
                                  : rhythmeval::judgeFixed(source, subjects, s, level);
        }
        const LevelRates r = rhythmeval::rates(outcomes, judged, all, level);
        failures += r.engineFailures;
        all11.append(r);
        if (o.onlyLevel < 0 || level == o.onlyLevel)
            printRates("level ", r);
    }
    if (failures > 0)
        std::printf("attempts without a verdict (engine or zero row): %d\n", failures);

    if (!o.plotPath.isEmpty() &&
        !savePlot(o.plotPath, all11, QStringLiteral("Typing-rhythm check by security level"),
                  protocolNote(o.adapt, QStringLiteral("%1 subjects").arg(judged.size()), QString())))
        return 1;
    for (const LevelRates &r : all11) {
        if (r.level == rhythm::kSecurityLevel)
            printRates("level", r);
    }
    return 0;
}

void printProtocol(const Options &o, const CandidateGrid &grid, qsizetype subjects, qsizetype folds)
{
    std::printf("subjects: %lld; %d random splits into halves, each half choosing for the other: %lld folds%s\n",
                static_cast<long long>(subjects), o.splits, static_cast<long long>(folds),
                o.adapt ? "; learning from every granted login" : "");
    std::printf("candidates: %lld rhythm quantiles x %lld scales x %lld fast shares x %lld level-5 margins (%.3f to "
                "%.3f)\n",
                static_cast<long long>(grid.quantiles.size()), static_cast<long long>(grid.scales.size()),
                static_cast<long long>(grid.fastShares.size()), static_cast<long long>(grid.margins.size()),
                grid.margins.first(), grid.margins.last());
    std::printf("rule: each shape takes its smallest level-5 margin (at least %.2f) with FAR at most %.0f%% on the "
                "choosing half, the shape with the lowest FRR there wins; judged half: impostors from that half only\n",
                crossval::kMinMarginAt5, crossval::kTargetFar * 100.0);
    std::fflush(stdout);
}

// Each fold's choice and its rates on the judged half, printed as they come.
QList<FoldResult> judgeFolds(const OutcomeTable &table, const QList<EnrolledSubject> &subjects,
                             const QList<Fold> &folds, OutcomeTable::Protocol protocol)
{
    QList<FoldResult> results;
    for (qsizetype f = 0; f < folds.size(); ++f) {
        const FoldResult result = crossval::judge(table, subjects, folds[f], protocol);
        if (result.choice.shape < 0) {
            std::printf("fold %lld: no candidate reaches the target\n", static_cast<long long>(f + 1));
            continue;
        }
        const LevelRates &judged5 = result.judged[rhythm::kSecurityLevel];
        std::printf("fold %lld: %s; choosing half FRR=%s FAR=%s, judged half FRR=%s FAR=%s\n",
                    static_cast<long long>(f + 1),
                    qPrintable(describe(table.grid().shape(result.choice.shape, result.choice.margin))),
                    qPrintable(percent(result.choice.onChoosers.falseRejection)),
                    qPrintable(percent(result.choice.onChoosers.falseAcceptance)),
                    qPrintable(percent(judged5.falseRejection)), qPrintable(percent(judged5.falseAcceptance)));
        results.append(result);
    }
    return results;
}

// The mean rates of the folds by level, printed with their standard deviations.
QList<LevelRates> foldMeans(const QList<FoldResult> &results)
{
    std::printf("cross-validated, mean over %lld folds (standard deviation in brackets):\n",
                static_cast<long long>(results.size()));
    QList<LevelRates> means;
    for (const LevelSummary &l : crossval::summarise(results)) {
        std::printf("level %d FRR=%s (%.1f) FAR=%s (%.1f)\n", l.level, qPrintable(percent(l.falseRejection)),
                    l.falseRejectionSd * 100.0, qPrintable(percent(l.falseAcceptance)), l.falseAcceptanceSd * 100.0);
        LevelRates r;
        r.level = l.level;
        r.falseRejection = l.falseRejection;
        r.falseAcceptance = l.falseAcceptance;
        means.append(r);
    }
    return means;
}

// Constants chosen on one half, judged on the other.
int crossValidate(const Options &o, const QList<EnrolledSubject> &subjects)
{
    const auto protocol = o.adapt ? OutcomeTable::Protocol::Learning : OutcomeTable::Protocol::Fixed;
    const CandidateGrid grid = candidates::grid(protocol);
    const QList<Fold> folds = crossval::folds(int(subjects.size()), o.splits, o.seed);
    printProtocol(o, grid, subjects.size(), folds.size());
    QElapsedTimer timer;
    timer.start();
    const OutcomeTable table(grid, subjects, protocol);
    std::printf("candidates tried on every subject in %.0f s\n", timer.elapsed() / 1000.0);
    const QList<FoldResult> results = judgeFolds(table, subjects, folds, protocol);
    if (results.isEmpty())
        return 1;

    QList<int> all;
    for (int s = 0; s < subjects.size(); ++s)
        all.append(s);
    const Choice onAll = crossval::choose(table, all);
    if (onAll.shape >= 0) {
        std::printf("chosen on all subjects by the same rule: %s; FRR=%s FAR=%s\n",
                    qPrintable(describe(grid.shape(onAll.shape, onAll.margin))),
                    qPrintable(percent(onAll.onChoosers.falseRejection)),
                    qPrintable(percent(onAll.onChoosers.falseAcceptance)));
    }
    const QList<LevelRates> means = foldMeans(results);
    if (!o.plotPath.isEmpty() &&
        !savePlot(o.plotPath, means, QStringLiteral("Typing-rhythm check by security level, on people not tuned for"),
                  protocolNote(o.adapt,
                               QStringLiteral("%1 subjects; constants chosen on one half, rates on the "
                                              "other; mean of %2 folds")
                                   .arg(subjects.size())
                                   .arg(results.size()),
                               QStringLiteral(" of the same half"))))
        return 1;
    for (const LevelRates &r : means) {
        if (r.level == rhythm::kSecurityLevel)
            printRates("level", r);
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    Options o;
    if (!parse(argc, argv, &o) || (o.crossValidate && (o.onlyLevel >= 0 || !o.half.isEmpty())))
        return usage();

    // Drawing text needs a GUI application; no display is needed for painting on an image.
    std::unique_ptr<QCoreApplication> app;
    if (!o.plotPath.isEmpty()) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }

    QString error;
    const QList<RecordedTyping> typings = typingdata::readTable(o.csv, &error);
    const QList<EnrolledSubject> subjects =
        typings.isEmpty() ? QList<EnrolledSubject>() : rhythmeval::enrol(typings, &error);
    if (subjects.size() < 2) {
        std::fprintf(stderr, "rhythm_eval: %s\n", qPrintable(error));
        return 1;
    }
    return o.crossValidate ? crossValidate(o, subjects) : measureEngine(o, subjects);
}
