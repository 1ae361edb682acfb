// Measures the rhythm check on recorded typing: the engine library from the program folder, called through the
// program's adapter, and the program's own scoring. Prints the rates (in percent) for each security level; the
// last line is the program's level 5.
//
// rhythm_eval <csv> [--level N] [--half odd|even] [--plot <png>] [--engine <folder>]
#include "levelplot.h"
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

int usage()
{
    std::fprintf(stderr,
                 "usage: rhythm_eval <csv> [--level 0..10] [--half odd|even] [--plot <png>] [--engine <folder>]\n");
    return 2;
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

// Microseconds per engine call, bare and through the program's adapter.
void printSpeed(TymcoreEngine &engine, const QString &libraryPath, const RhythmMatrix &training)
{
    constexpr int kCalls = 20000;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < kCalls; ++i)
        engine.referenceMatrix(training, rhythm::kSecurityLevel);
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

} // namespace

int main(int argc, char **argv)
{
    QString csv, plotPath, half;
    QString programFolder = qEnvironmentVariable("VAULTRY_PROGRAM_DIR", QStringLiteral(VAULTRY_PROGRAM_DIR));
    int onlyLevel = -1;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        const bool hasValue = i + 1 < argc;
        if (arg == QLatin1String("--level") && hasValue) {
            bool ok = false;
            onlyLevel = QString::fromLocal8Bit(argv[++i]).toInt(&ok);
            if (!ok || onlyLevel < 0 || onlyLevel > 10)
                return usage();
        } else if (arg == QLatin1String("--half") && hasValue) {
            half = QString::fromLocal8Bit(argv[++i]);
            if (half != QLatin1String("odd") && half != QLatin1String("even"))
                return usage();
        } else if (arg == QLatin1String("--plot") && hasValue) {
            plotPath = QString::fromLocal8Bit(argv[++i]);
        } else if (arg == QLatin1String("--engine") && hasValue) {
            programFolder = QString::fromLocal8Bit(argv[++i]);
        } else if (csv.isEmpty() && !arg.startsWith(QLatin1String("--"))) {
            csv = arg;
        } else {
            return usage();
        }
    }
    if (csv.isEmpty())
        return usage();

    // Drawing text needs a GUI application; no display is needed for painting on an image.
    std::unique_ptr<QCoreApplication> app;
    if (!plotPath.isEmpty()) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }

    QString error;
    const QList<RecordedTyping> typings = typingdata::readTable(csv, &error);
    const QList<EnrolledSubject> subjects =
        typings.isEmpty() ? QList<EnrolledSubject>() : rhythmeval::enrol(typings, &error);
    if (subjects.size() < 2) {
        std::fprintf(stderr, "rhythm_eval: %s\n", qPrintable(error));
        return 1;
    }
    const QString libraryPath = TymcoreEngine::libraryPathIn(programFolder);
    TymcoreEngine engine(libraryPath);
    if (!engine.isCreated()) {
        std::fprintf(stderr, "rhythm_eval: no engine: %s\n", qPrintable(engine.errorString()));
        return 1;
    }

    // Halves by position in subject order, for checking constants on subjects they were not chosen on.
    QList<int> judged;
    for (int s = 0; s < subjects.size(); ++s) {
        if (half.isEmpty() || (s % 2 == 1) == (half == QLatin1String("odd")))
            judged.append(s);
    }
    qsizetype genuine = 0;
    for (int s : judged)
        genuine += subjects[s].genuineVectors.size();
    std::printf("subjects: %lld (judged %lld%s), genuine attempts %lld; rates in percent, averaged over subjects\n",
                static_cast<long long>(subjects.size()), static_cast<long long>(judged.size()),
                half.isEmpty() ? "" : qPrintable(QStringLiteral(", ") + half + QStringLiteral(" half")),
                static_cast<long long>(genuine));
    printSpeed(engine, libraryPath, subjects.first().training);

    QList<LevelRates> all;
    int failures = 0;
    for (int level = 0; level <= 10; ++level) {
        if (onlyLevel >= 0 && level != onlyLevel && level != rhythm::kSecurityLevel)
            continue;
        const LevelRates r = rhythmeval::measure(engine, subjects, judged, level);
        failures += r.engineFailures;
        all.append(r);
        if (onlyLevel < 0 || level == onlyLevel)
            printRates("level ", r);
    }
    if (failures > 0)
        std::printf("attempts without a verdict (engine or zero row): %d\n", failures);

    if (!plotPath.isEmpty()) {
        const QString note =
            QStringLiteral(
                "Data: Killourhy and Maxion, \"Comparing Anomaly-Detection Algorithms for Keystroke Dynamics\", DSN "
                "2009 "
                "(%1 subjects). Enrolment: session 4, typings 1-10; genuine: sessions 5-8; impostors: the first 5 "
                "typings of every other subject.")
                .arg(judged.size());
        const QImage image =
            levelplot::draw(all, rhythm::kSecurityLevel, QStringLiteral("Typing-rhythm check by security level"), note);
        if (!image.save(plotPath)) {
            std::fprintf(stderr, "rhythm_eval: cannot write %s\n", qPrintable(plotPath));
            return 1;
        }
    }
    for (const LevelRates &r : all) {
        if (r.level == rhythm::kSecurityLevel)
            printRates("level", r);
    }
    return 0;
}
