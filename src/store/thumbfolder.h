#pragma once

#include <QString>

// The thumbs folder in the program folder: one copy of each picture a profile shows, under the bare name of the
// file the user chose. Profiles that chose files of the same name share one copy.
class ThumbFolder
{
public:
    explicit ThumbFolder(const QString &path);

    QString path() const { return m_path; }
    // The folder followed by the name; the folder itself for an empty name.
    QString filePath(const QString &name) const { return m_path + name; }

    // Copies the picture in as name, made owner-only like the folder; never in part, never outside the folder.
    bool save(const QString &picturePath, const QString &name, QString *error = nullptr) const;
    // Deletes the copy of that name, if it is a bare name and a file.
    void remove(const QString &name) const;

    // Not empty, no folder part, not "." or "..".
    static bool isBareName(const QString &name);

private:
    QString m_path; // ends in a separator
};
