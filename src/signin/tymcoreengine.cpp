#include "tymcoreengine.h"

#include <QDir>

QString TymcoreEngine::libraryPathIn(const QString &programFolder)
{
    return QDir(programFolder).filePath(QStringLiteral("Tymcore"));
}

TymcoreEngine::TymcoreEngine(const QString &libraryPath) : m_library(libraryPath)
{
    if (!m_library.load()) {
        m_error = m_library.errorString();
        return;
    }
    m_tymcore = reinterpret_cast<TymcoreFunction>(m_library.resolve("tymcore"));
    m_register = reinterpret_cast<RegisterFunction>(m_library.resolve("DllRegisterServer"));
    // A failed look-up leaves no reason of its own in the library's error string.
    if (!m_tymcore)
        m_error = QStringLiteral("%1 does not export the function tymcore.").arg(m_library.fileName());
}

// The library stays mapped after the attempt: unloading would pull it from under any other user in the process.
TymcoreEngine::~TymcoreEngine() = default;

std::optional<RhythmMatrix> TymcoreEngine::referenceMatrix(const RhythmMatrix &training, qint16 securityLevel)
{
    if (!m_tymcore)
        return std::nullopt;
    const int features = training.columns;
    RhythmMatrix reference(rhythm::kReferenceRows, features + 1);
    const qint32 result =
        m_tymcore(training.values.constData(), securityLevel, qint16(training.rows), features, reference.values.data());
    if (result != 0) {
        m_error = QStringLiteral("The engine reported %1.").arg(result);
        return std::nullopt;
    }
    return reference;
}

void TymcoreEngine::registerServer()
{
    if (m_register)
        m_register();
}

namespace rhythm {

std::optional<Verdict> judgeWithEngine(TymcoreEngine &engine, const RhythmMatrix &training,
                                       const QList<double> &loginVector)
{
    const auto reference = engine.referenceMatrix(training, kSecurityLevel);
    if (!reference)
        return std::nullopt;
    return judge(loginVector, *reference);
}

} // namespace rhythm
