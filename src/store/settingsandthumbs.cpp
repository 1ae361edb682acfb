// The settings file vy.ini and the thumbnail pictures.
#include "clsagentdb.h"

#include "thumbname.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>

namespace {

const QString AutoSignInKey = QStringLiteral("Vaultry/AutoSignIn");
const QString HomePageKey = QStringLiteral("Vaultry/HomePage");
constexpr QFile::Permissions OwnerOnly = QFile::ReadOwner | QFile::WriteOwner;

// Settings are the user's alone (another user could switch on the automatic sign-in), whatever the umask: vy.ini
// is made owner-only before QSettings writes it, and QSettings keeps a file's permissions when it rewrites it.
void makeOwnerOnly(const QString &file)
{
    if (!QFileInfo::exists(file))
        QFile(file).open(QIODevice::WriteOnly | QIODevice::NewOnly, OwnerOnly);
    QFile::setPermissions(file, OwnerOnly);
}

} // namespace

QString clsAgentDB::INIAutoSignIn() const
{
    const QSettings settings(m_iniFile, QSettings::IniFormat);
    const QVariant value = settings.value(AutoSignInKey);
    // Only exactly "1" switches it on; a list, "01", "10" or "yes" do not.
    if (value.typeId() == QMetaType::QString && value.toString() == QLatin1String("1"))
        return QStringLiteral("1");
    return QStringLiteral("0");
}

void clsAgentDB::setINIAutoSignIn(const QString &s)
{
    makeOwnerOnly(m_iniFile);
    QSettings settings(m_iniFile, QSettings::IniFormat);
    settings.setValue(AutoSignInKey, s);
    settings.sync();
}

QString clsAgentDB::INIHomePage() const
{
    const QSettings settings(m_iniFile, QSettings::IniFormat);
    return settings.value(HomePageKey).toString().trimmed();
}

int clsAgentDB::ININumber(const QString &key, int defaultValue, int minimum) const
{
    const QSettings settings(m_iniFile, QSettings::IniFormat);
    bool ok = false;
    const int value = settings.value(QStringLiteral("Vaultry/") + key).toString().trimmed().toInt(&ok);
    return ok && value >= minimum ? value : defaultValue;
}

bool clsAgentDB::SaveThumb(qint32 lProfileIndex, const QString &sThumbPath)
{
    checkIndex(lProfileIndex);
    const QFileInfo source(sThumbPath);
    if (!source.exists() || source.isDir())
        return false;
    // The copy must land inside the thumbs folder under a plain name.
    if (!thumbname::isBareName(m_profiles.at(lProfileIndex).ThumbName))
        return false;

    // Read the whole picture first: it may be the very file that is about to be replaced.
    QFile in(sThumbPath);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    const QByteArray picture = in.readAll();
    const bool complete = in.error() == QFileDevice::NoError && in.atEnd();
    in.close();
    if (!complete)
        return false;

    const QFileInfo folder(ThumbsFolder());
    if (!folder.isDir() && !QDir(m_appPath).mkdir(QStringLiteral("thumbs"), OwnerOnly | QFile::ExeOwner))
        return false;

    // Unbuffered for the same reason as the database: a short write must not be committed.
    QSaveFile out(WPThumbName(lProfileIndex));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || !out.setPermissions(OwnerOnly))
        return false;
    if (out.write(picture) != picture.size())
        return false;
    return out.commit();
}
