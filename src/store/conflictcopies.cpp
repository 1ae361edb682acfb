#include "conflictcopies.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace conflictcopies {

QStringList find(const QString &folder)
{
    static const QRegularExpression name(
        QStringLiteral(R"(^vy(\.sync-conflict-\d{8}-\d{6}-[0-9A-Z]{7}| \((.+'s )?conflicted copy [^)]*\))\.bdb$)"));
    QStringList found;
    const QFileInfoList entries = QDir(folder).entryInfoList({QStringLiteral("vy*.bdb")},
                                                             QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDir::Name);
    for (const QFileInfo &entry : entries)
        if (name.match(entry.fileName()).hasMatch())
            found << entry.filePath();
    return found;
}

bool moveToMerged(const QString &path, QString *error)
{
    const QFileInfo copy(path);
    QDir merged(copy.dir().filePath(QStringLiteral("conflicts-merged")));
    if (!merged.exists())
        merged.mkpath(QStringLiteral("."));
    QFile::setPermissions(merged.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QString target = merged.filePath(copy.fileName());
    for (int n = 2; QFileInfo::exists(target) || QFileInfo(target).isSymLink(); ++n)
        target = merged.filePath(QStringLiteral("%1-%2.bdb").arg(copy.completeBaseName()).arg(n));
    if (QFile::rename(path, target))
        return true;
    if (error)
        *error = QStringLiteral("%1 cannot be moved into %2.")
                     .arg(QDir::toNativeSeparators(path), QDir::toNativeSeparators(merged.path()));
    return false;
}

} // namespace conflictcopies
