#include "tymcoreengine.h"

#include <QDir>

namespace {

bool refuse(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

} // namespace

QString TymcoreEngine::libraryPathIn(const QString &programFolder)
{
    return QDir(programFolder).filePath(QStringLiteral("Tymcore"));
}

TymcoreEngine::TymcoreEngine(const QString &libraryPath) : m_library(libraryPath) { }

// The library stays mapped after the attempt: unloading would pull it from under any other user in the process.
TymcoreEngine::~TymcoreEngine() = default;

bool TymcoreEngine::load(QString *error)
{
    if (!m_library.load())
        return refuse(error, m_library.errorString());
    m_tymcore = reinterpret_cast<TymcoreFunction>(m_library.resolve("tymcore"));
    m_register = reinterpret_cast<RegisterFunction>(m_library.resolve("DllRegisterServer"));
    // A failed look-up leaves no reason of its own in the library's error string.
    return m_tymcore ||
        refuse(error, QStringLiteral("%1 does not export the function tymcore.").arg(m_library.fileName()));
}

bool TymcoreEngine::referenceMatrix(const RhythmMatrix &training, qint16 securityLevel, RhythmMatrix *reference,
                                    QString *error)
{
    if (!m_tymcore)
        return refuse(error, QStringLiteral("The engine is not loaded."));
    const int features = training.columns;
    RhythmMatrix result(rhythm::kReferenceRows, features + 1);
    const qint32 code =
        m_tymcore(training.values.constData(), securityLevel, qint16(training.rows), features, result.values.data());
    if (code != 0)
        return refuse(error, QStringLiteral("The engine reported %1.").arg(code));
    *reference = std::move(result);
    return true;
}

void TymcoreEngine::registerServer()
{
    if (m_register)
        m_register();
}

namespace rhythm {

bool judgeWithEngine(TymcoreEngine &engine, const RhythmMatrix &training, const QList<double> &loginVector,
                     Verdict *verdict, QString *error)
{
    RhythmMatrix reference;
    if (!engine.referenceMatrix(training, kSecurityLevel, &reference, error))
        return false;
    const std::optional<Verdict> judged = judge(loginVector, reference);
    if (!judged)
        return refuse(error, QStringLiteral("A reference row of the engine is zero."));
    *verdict = *judged;
    return true;
}

} // namespace rhythm
