#include "programfolder.h"

#include <QDir>
#include <QFile>

ProgramFolder::ProgramFolder(const QString &buildProgramDir)
    : m_dir(QDir::tempPath() + QStringLiteral("/vaultry-e2e-XXXXXX"))
{
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("cannot create a temporary folder: %1").arg(m_dir.errorString());
        return;
    }
    const QDir from(buildProgramDir);
    for (const QString &name : {QStringLiteral("vaultry"), engineFileName(), QStringLiteral("Qorvish.bmp")}) {
        if (!from.exists(name)) {
            m_missing << name;
            continue;
        }
        if (!QFile::copy(from.filePath(name), m_dir.filePath(name))) {
            m_error = QStringLiteral("cannot copy %1 into %2").arg(from.filePath(name), m_dir.path());
            return;
        }
    }
    if (m_missing.contains(QStringLiteral("vaultry")))
        m_error = QStringLiteral("the program %1 has not been built").arg(from.filePath(QStringLiteral("vaultry")));
}
