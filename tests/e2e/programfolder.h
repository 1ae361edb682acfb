#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A fresh program folder: copies of the program, the engine library and the logo from the build's program
// folder. The program keeps its data beside itself, so every run starts with no user and no profiles.
class ProgramFolder
{
public:
    explicit ProgramFolder(const QString &buildProgramDir);

    // Empty when the folder is ready; otherwise what went wrong.
    QString error() const { return m_error; }
    QString path() const { return m_dir.path(); }
    QString program() const { return m_dir.filePath(QStringLiteral("vaultry")); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }
    // Files of the build's program folder that were not there to copy.
    QStringList missing() const { return m_missing; }

    static QString engineFileName() { return QStringLiteral("libTymcore.so"); }

private:
    QTemporaryDir m_dir;
    QString m_error;
    QStringList m_missing;
};
