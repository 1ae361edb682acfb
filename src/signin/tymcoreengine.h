#pragma once

#include "rhythmscoring.h"

#include <QLibrary>
#include <QString>

// The typing-rhythm engine, a shared library beside the program, loaded afresh for each login attempt.
// It turns the ten enrolment samples into reference vectors; the program itself judges the typing.
//
// The library exports:
//   int32_t tymcore(const double *training /* samples x features */, int16_t securityLevel, int16_t sampleCount,
//                   int32_t featureCount, double *reference /* 6 x (features + 1), zero on entry */); // 0 = done
//   int32_t DllRegisterServer(void);
class TymcoreEngine
{
public:
    // The engine's path in a program folder, without the platform's prefix and suffix (libTymcore.so here).
    static QString libraryPathIn(const QString &programFolder);

    explicit TymcoreEngine(const QString &libraryPath);
    ~TymcoreEngine();
    TymcoreEngine(const TymcoreEngine &) = delete;
    TymcoreEngine &operator=(const TymcoreEngine &) = delete;

    // Loads the library and finds its method; false, with the reason, when either is missing.
    bool load(QString *error = nullptr);

    // Runs the engine on a 10 x N training matrix for the 6 x (N + 1) reference matrix; false when the engine is
    // not loaded or reports a failure.
    bool referenceMatrix(const RhythmMatrix &training, qint16 securityLevel, RhythmMatrix *reference,
                         QString *error = nullptr);

    // The library's self-registration; its result is of no interest. Does nothing when the library is missing.
    void registerServer();

private:
    using TymcoreFunction = qint32 (*)(const double *, qint16, qint16, qint32, double *);
    using RegisterFunction = qint32 (*)();

    QLibrary m_library;
    TymcoreFunction m_tymcore = nullptr;
    RegisterFunction m_register = nullptr;
};

namespace rhythm {
// Steps of one login attempt after the checks: the engine's reference rows, then the verdict on the typing.
// False when the engine fails or leaves a scored row at zero: the attempt then ends without a verdict.
bool judgeWithEngine(TymcoreEngine &engine, const RhythmMatrix &training, const QList<double> &loginVector,
                     Verdict *verdict, QString *error = nullptr);
} // namespace rhythm
