#pragma once

#include <QByteArray>
#include <QString>

// Remembers what lay at a thumbnail path before a change, so that the file can be put back
// when the database cannot be written afterwards.
class ThumbBackup
{
public:
    explicit ThumbBackup(const QString &path);
    // Brings back the earlier file, or removes a file that was not there before.
    void restore() const;

private:
    QString m_path;
    QByteArray m_bytes;
    bool m_existed = false;
};
