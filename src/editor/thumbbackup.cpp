#include "thumbbackup.h"

#include <QFile>
#include <QFileInfo>

ThumbBackup::ThumbBackup(const QString &path) : m_path(path)
{
    const QFileInfo info(path);
    if (info.isDir())
        return; // a profile without a picture: its path is the thumbs folder itself
    QFile file(path);
    if (info.isFile() && file.open(QIODevice::ReadOnly)) {
        m_bytes = file.readAll();
        m_existed = true;
    }
}

void ThumbBackup::restore() const
{
    if (QFileInfo(m_path).isDir())
        return;
    if (!m_existed) {
        QFile::remove(m_path);
        return;
    }
    QFile file(m_path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(m_bytes);
}
