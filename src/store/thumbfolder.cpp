#include "thumbfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

constexpr QFile::Permissions OwnerOnly = QFile::ReadOwner | QFile::WriteOwner;

bool refuse(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

// Reads the whole picture first: it may be the very file that is about to be replaced.
bool readPicture(const QString &path, QByteArray &picture, QString *error)
{
    const QFileInfo source(path);
    if (!source.exists() || source.isDir())
        return refuse(error, QStringLiteral("%1 is no file.").arg(QDir::toNativeSeparators(path)));
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        return refuse(error, in.errorString());
    picture = in.readAll();
    return (in.error() == QFileDevice::NoError && in.atEnd()) || refuse(error, in.errorString());
}

} // namespace

ThumbFolder::ThumbFolder(const QString &path) : m_path(path.endsWith(QLatin1Char('/')) ? path : path + '/') { }

bool ThumbFolder::isBareName(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
        !name.contains(QLatin1Char('/')) && !name.contains(QChar(u'\0'));
}

bool ThumbFolder::save(const QString &picturePath, const QString &name, QString *error) const
{
    if (!isBareName(name))
        return refuse(error, QStringLiteral("\"%1\" is no name for a picture in the thumbs folder.").arg(name));
    QByteArray picture;
    if (!readPicture(picturePath, picture, error))
        return false;
    const QDir folder(m_path);
    if (!folder.exists() && !QDir().mkdir(m_path, OwnerOnly | QFile::ExeOwner))
        return refuse(error, QStringLiteral("The folder %1 cannot be made.").arg(QDir::toNativeSeparators(m_path)));

    // Unbuffered, so that a short write (a full disk) shows in write()'s count and is never committed.
    QSaveFile out(filePath(name));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || !out.setPermissions(OwnerOnly) ||
        out.write(picture) != picture.size() || !out.commit())
        return refuse(error, out.errorString());
    return true;
}

void ThumbFolder::remove(const QString &name) const
{
    // A name with a folder in it (a damaged or foreign wallet) never leads to deleting anything outside the folder.
    if (!isBareName(name))
        return;
    const QFileInfo thumb(filePath(name));
    if (thumb.exists() && !thumb.isDir())
        QFile::remove(thumb.filePath());
}
