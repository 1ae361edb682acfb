#include "settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <limits>

namespace {

const QString AutoSignInKey = QStringLiteral("Vaultry/AutoSignIn");
const QString SealWalletKey = QStringLiteral("Vaultry/SealWallet");
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

Settings::Settings(const QString &programFolder) : m_path(QDir(programFolder).filePath(QStringLiteral("vy.ini"))) { }

bool Settings::autoSignIn() const
{
    const QVariant value = QSettings(m_path, QSettings::IniFormat).value(AutoSignInKey);
    // Only exactly "1" switches it on; a list, "01", "10" or "yes" do not.
    return value.typeId() == QMetaType::QString && value.toString() == QLatin1String("1");
}

void Settings::setAutoSignIn(bool on)
{
    write(AutoSignInKey, on ? QStringLiteral("1") : QStringLiteral("0"));
}

bool Settings::sealWallet() const
{
    const QString value = QSettings(m_path, QSettings::IniFormat).value(SealWalletKey).toString().trimmed();
    return value.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || value == QLatin1String("1");
}

bool Settings::hasSealWallet() const
{
    return QSettings(m_path, QSettings::IniFormat).contains(SealWalletKey);
}

void Settings::setSealWallet(bool on)
{
    write(SealWalletKey, on ? QStringLiteral("true") : QStringLiteral("false"));
}

void Settings::write(const QString &key, const QString &value)
{
    makeOwnerOnly(m_path);
    QSettings settings(m_path, QSettings::IniFormat);
    settings.setValue(key, value);
    settings.sync();
}

QString Settings::homePage() const
{
    return QSettings(m_path, QSettings::IniFormat).value(QStringLiteral("Vaultry/HomePage")).toString().trimmed();
}

int Settings::clipboardSeconds() const
{
    return number(QStringLiteral("ClipboardSeconds"), kClipboardSeconds, 1);
}

int Settings::lockMinutes() const
{
    return number(QStringLiteral("LockMinutes"), kLockMinutes, std::numeric_limits<int>::min());
}

int Settings::number(const QString &key, int defaultValue, int minimum) const
{
    const QSettings settings(m_path, QSettings::IniFormat);
    bool ok = false;
    const int value = settings.value(QStringLiteral("Vaultry/") + key).toString().trimmed().toInt(&ok);
    return ok && value >= minimum ? value : defaultValue;
}
