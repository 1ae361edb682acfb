// Start-up time as a user sees it, against the floor that Qt itself sets:
//  1. from process start to the sign-in dialog on the screen, against a bare Qt window program;
//  2. from Next on a passing login to the main window with its five tabs on the screen, against a bare
//     dialog whose acceptance opens a bare window with five web views.
// "On the screen" is seen from outside for both sides alike: the window with that title is mapped, found by
// polling xdotool without pause. Run under xvfb-run.

#include "desktop.h"
#include "programfolder.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <algorithm>
#include <cstdio>

namespace {
const QString kUserName = QStringLiteral("benchuser");
const QString kMasterPassword = QStringLiteral("tempo42x");
const QString kFloorWindow = QStringLiteral("^Startup Floor Window$");
const QString kFloorSignIn = QStringLiteral("^Startup Floor Sign-in$");
const QString kFloorMain = QStringLiteral("^Startup Floor Main$");
constexpr int kTimeoutMs = 60000;

struct Run
{
    double dialogMs = -1;
    double mainMs = -1;
    double linkedDialogMs = -1; // floor only: a bare dialog in a program that links the web engine
};

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    if (n == 0)
        return -1;
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double elapsedMs(const QElapsedTimer &timer)
{
    return timer.nsecsElapsed() / 1e6;
}

// Thrown on any failure, so that every program started so far is ended on the way out.
struct Failure
{
    QString message;
};

[[noreturn]] void fail(const QString &message)
{
    throw Failure {message};
}

class Bench
{
public:
    explicit Bench(const QString &benchDir) : m_benchDir(benchDir) { }

    void enrol(const ProgramFolder &folder)
    {
        Launched program(folder.path(QStringLiteral("vaultry")));
        const QString error = m_desktop.enrol(program.pid, kUserName, kMasterPassword);
        if (!error.isEmpty())
            fail(QStringLiteral("enrolment failed: %1").arg(error));
        close(program, Titles::kMain);
    }

    // The program: process start to login dialog, then Next to main window.
    Run vaultry(const ProgramFolder &folder)
    {
        Run run;
        QElapsedTimer timer;
        timer.start();
        Launched program(folder.path(QStringLiteral("vaultry")));
        const QString dialog = m_desktop.waitFor(Titles::kLogin, program.pid, kTimeoutMs, 0);
        run.dialogMs = elapsedMs(timer);
        if (dialog.isEmpty())
            fail(QStringLiteral("the login dialog did not appear: %1").arg(program.output()));
        const QString error = m_desktop.logIn(dialog, kUserName, kMasterPassword);
        if (!error.isEmpty())
            fail(error);
        QThread::msleep(200);
        timer.restart();
        if (!m_desktop.keys({QStringLiteral("Return")}))
            fail(QStringLiteral("xdotool failed to press Next"));
        const QString main = m_desktop.waitFor(Titles::kMain, program.pid, kTimeoutMs, 0);
        run.mainMs = elapsedMs(timer);
        if (main.isEmpty())
            fail(QStringLiteral("no main window after the login (rhythm refused?): %1").arg(program.output()));
        close(program, Titles::kMain);
        return run;
    }

    // The floor: a bare window program, and a bare dialog whose Next opens five web views.
    Run floor()
    {
        Run run;
        {
            QElapsedTimer timer;
            timer.start();
            Launched program(floorProgram(QStringLiteral("startup_floor_window")));
            const QString window = m_desktop.waitFor(kFloorWindow, program.pid, kTimeoutMs, 0);
            run.dialogMs = elapsedMs(timer);
            if (window.isEmpty())
                fail(QStringLiteral("the floor window did not appear: %1").arg(program.output()));
            close(program, kFloorWindow);
        }
        QElapsedTimer linked;
        linked.start();
        Launched program(floorProgram(QStringLiteral("startup_floor_views")));
        const QString dialog = m_desktop.waitFor(kFloorSignIn, program.pid, kTimeoutMs, 0);
        run.linkedDialogMs = elapsedMs(linked);
        if (dialog.isEmpty() || !m_desktop.focus(dialog))
            fail(QStringLiteral("the floor dialog did not appear: %1").arg(program.output()));
        QThread::msleep(500);
        QElapsedTimer timer;
        timer.start();
        if (!m_desktop.keys({QStringLiteral("Return")}))
            fail(QStringLiteral("xdotool failed to press Return"));
        const QString main = m_desktop.waitFor(kFloorMain, program.pid, kTimeoutMs, 0);
        run.mainMs = elapsedMs(timer);
        if (main.isEmpty())
            fail(QStringLiteral("the floor's five web views did not appear"));
        close(program, kFloorMain);
        return run;
    }

private:
    QString floorProgram(const QString &name) const { return QDir(m_benchDir).filePath(name); }

    // Closes the window as a user does and lets the program end; whatever is left is ended with it.
    void close(Launched &program, const QString &title)
    {
        const QString window = m_desktop.waitFor(title, program.pid, kTimeoutMs);
        if (!window.isEmpty())
            m_desktop.close(window, program.pid);
        program.ended(15000);
    }

    Desktop m_desktop;
    QString m_benchDir;
};
} // namespace

namespace {
int measure(const QCommandLineParser &parser)
{
    const int runs = std::max(1, parser.value(QStringLiteral("runs")).toInt());

    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        fail(QStringLiteral("no X display; run under xvfb-run"));

    Bench bench(QCoreApplication::applicationDirPath());
    if (parser.isSet(QStringLiteral("floor-only"))) {
        bench.floor();
        for (int i = 1; i <= runs; ++i) {
            const Run f = bench.floor();
            std::printf(
                "floor run %d: window %.1f ms, dialog linked with the web engine %.1f ms, five web views %.1f ms\n", i,
                f.dialogMs, f.linkedDialogMs, f.mainMs);
        }
        return 0;
    }

    ProgramFolder folder(parser.value(QStringLiteral("program-dir")));
    if (!QFile::exists(folder.path(QStringLiteral("libTymcore.so"))))
        fail(QStringLiteral("the engine library is missing from %1").arg(parser.value(QStringLiteral("program-dir"))));

    std::printf("enrolling a user in %s ...\n", qPrintable(folder.path()));
    std::fflush(stdout);
    bench.enrol(folder);

    // One unmeasured round warms the file cache for both sides.
    bench.vaultry(folder);
    bench.floor();

    QList<double> dialog, dialogFloor, main, mainFloor, linkedDialog;
    std::printf("%-5s %14s %14s %14s %14s\n", "run", "dialog ms", "floor ms", "main ms", "floor ms");
    for (int i = 1; i <= runs; ++i) {
        const Run v = bench.vaultry(folder);
        const Run f = bench.floor();
        dialog << v.dialogMs;
        dialogFloor << f.dialogMs;
        main << v.mainMs;
        mainFloor << f.mainMs;
        linkedDialog << f.linkedDialogMs;
        std::printf("%-5d %14.1f %14.1f %14.1f %14.1f\n", i, v.dialogMs, f.dialogMs, v.mainMs, f.mainMs);
        std::fflush(stdout);
    }

    const double dialogRatio = median(dialog) / median(dialogFloor);
    const double mainRatio = median(main) / median(mainFloor);
    std::printf("median of %d runs:\n", runs);
    std::printf("  sign-in dialog shown after process start: %.1f ms, bare window %.1f ms, ratio %.2f\n",
                median(dialog), median(dialogFloor), dialogRatio);
    std::printf("  main window with five tabs shown after Next: %.1f ms, five bare web views %.1f ms, ratio %.2f\n",
                median(main), median(mainFloor), mainRatio);
    std::printf("  (a bare dialog in a program that links the web engine at its start: %.1f ms)\n",
                median(linkedDialog));
    std::printf("startup_vs_floor: %.2f %.2f\n", dialogRatio, mainRatio);
    return 0;
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Start-up time of the sign-in dialog and the main window "
                                                    "against bare Qt programs. Run under xvfb-run."));
    parser.addHelpOption();
    const QCommandLineOption runsOption(QStringLiteral("runs"), QStringLiteral("Measured runs (default 7)."),
                                        QStringLiteral("n"), QStringLiteral("7"));
    const QCommandLineOption programOption(QStringLiteral("program-dir"),
                                           QStringLiteral("The build's program folder (default: this build's)."),
                                           QStringLiteral("dir"), QStringLiteral(VAULTRY_PROGRAM_DIR));
    const QCommandLineOption floorOption(QStringLiteral("floor-only"),
                                         QStringLiteral("Measure only the bare programs (no program needed)."));
    parser.addOptions({runsOption, programOption, floorOption});
    parser.process(app);
    try {
        return measure(parser);
    } catch (const Failure &failure) {
        std::fprintf(stderr, "startup_bench: %s\n", qPrintable(failure.message));
        return 1;
    }
}
