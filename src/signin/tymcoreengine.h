#pragma once

#include "rhythmscoring.h"

#include <QLibrary>
#include <QString>

#include <optional>

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

    // Loads the library; isCreated() tells whether it and its method were found.
    explicit TymcoreEngine(const QString &libraryPath);
    ~TymcoreEngine();
    TymcoreEngine(const TymcoreEngine &) = delete;
    TymcoreEngine &operator=(const TymcoreEngine &) = delete;

    bool isCreated() const { return m_tymcore != nullptr; }
    QString errorString() const { return m_error; }

    // Runs the engine on a 10 x N training matrix; the 6 x (N + 1) reference matrix, or nothing when the
    // engine is missing or reports a failure.
    std::optional<RhythmMatrix> referenceMatrix(const RhythmMatrix &training, qint16 securityLevel);

    // The library's self-registration; its result is of no interest. Does nothing when the library is missing.
    void registerServer();

private:
    using TymcoreFunction = qint32 (*)(const double *, qint16, qint16, qint32, double *);
    using RegisterFunction = qint32 (*)();

    QLibrary m_library;
    TymcoreFunction m_tymcore = nullptr;
    RegisterFunction m_register = nullptr;
    QString m_error;
};

namespace rhythm {
// Steps of one login attempt after the checks: the engine's reference rows, then the verdict on the typing.
// Empty when the engine is missing, fails, or leaves a scored row at zero.
std::optional<Verdict> judgeWithEngine(TymcoreEngine &engine, const RhythmMatrix &training,
                                       const QList<double> &loginVector);
} // namespace rhythm
