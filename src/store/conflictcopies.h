#pragma once

#include <QString>
#include <QStringList>

// The copies of vy.bdb that sync tools leave beside it when two machines changed it at once:
// Syncthing's "vy.sync-conflict-<date>-<time>-<id>.bdb", Nextcloud's "vy (conflicted copy <date>).bdb" and
// Dropbox's "vy (<machine>'s conflicted copy <date>).bdb".
namespace conflictcopies {

// Their paths in the folder, regular files only, by name.
QStringList find(const QString &folder);
// Moves one into the folder's conflicts-merged/ (made owner-only), under its own name or a free one like it.
bool moveToMerged(const QString &path, QString *error = nullptr);

} // namespace conflictcopies
