#include "settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QUrl>

#include <limits>

namespace {

constexpr QFile::Permissions OwnerOnly = QFile::ReadOwner | QFile::WriteOwner;

// Settings are the user's alone (another user could switch on the automatic sign-in), whatever the umask: vy.ini
// is made owner-only before QSettings writes it, and QSettings keeps a file's permissions when it rewrites it.
void makeOwnerOnly(const QString &file)
{
    if (!QFileInfo::exists(file))
        QFile(file).open(QIODevice::WriteOnly | QIODevice::NewOnly, OwnerOnly);
    QFile::setPermissions(file, OwnerOnly);
}

// Only exactly "1" switches a key on; a list, "01", "10" or "yes" do not.
bool isOne(const QString &path, const QString &key)
{
    const QVariant value = QSettings(path, QSettings::IniFormat).value(QStringLiteral("Vaultry/") + key);
    return value.typeId() == QMetaType::QString && value.toString() == QLatin1String("1");
}

} // namespace

Settings::Settings(const QString &programFolder) : m_path(QDir(programFolder).filePath(QStringLiteral("vy.ini"))) { }

bool Settings::autoSignIn() const
{
    return isOne(m_path, QStringLiteral("AutoSignIn"));
}

void Settings::setAutoSignIn(bool on)
{
    write(QStringLiteral("AutoSignIn"), on ? QStringLiteral("1") : QStringLiteral("0"), nullptr);
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

bool Settings::sealWallet() const
{
    const QString value =
        QSettings(m_path, QSettings::IniFormat).value(QStringLiteral("Vaultry/SealWallet")).toString().trimmed();
    return value.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || value == QLatin1String("1");
}

bool Settings::hasSealWallet() const
{
    return QSettings(m_path, QSettings::IniFormat).contains(QStringLiteral("Vaultry/SealWallet"));
}

bool Settings::setHomePage(const QString &address, QString *error)
{
    const QString text = address.trimmed();
    const QUrl url(text, QUrl::StrictMode);
    // The page opens by itself at every start: only a web page, never a local file or a script.
    if (!text.isEmpty() &&
        (!url.isValid() || url.host().isEmpty() || !QStringList {"http", "https"}.contains(url.scheme()))) {
        if (error)
            *error = QStringLiteral("The start page must be a web address beginning with http:// or https://, or "
                                    "nothing.");
        return false;
    }
    return write(QStringLiteral("HomePage"), text, error);
}

bool Settings::setClipboardSeconds(int seconds, QString *error)
{
    if (seconds < 1 || seconds > kLongestClipboardSeconds) {
        if (error)
            *error = QStringLiteral("The seconds must be a whole number from 1 to %1.").arg(kLongestClipboardSeconds);
        return false;
    }
    return write(QStringLiteral("ClipboardSeconds"), QString::number(seconds), error);
}

bool Settings::setLockMinutes(int minutes, QString *error)
{
    if (minutes < 0 || minutes > kLongestLockMinutes) {
        if (error)
            *error =
                QStringLiteral("The minutes must be a whole number from 0 (never) to %1.").arg(kLongestLockMinutes);
        return false;
    }
    return write(QStringLiteral("LockMinutes"), QString::number(minutes), error);
}

bool Settings::setSealWallet(bool on, QString *error)
{
    return write(QStringLiteral("SealWallet"), on ? QStringLiteral("true") : QStringLiteral("false"), error);
}

bool Settings::write(const QString &key, const QString &value, QString *error)
{
    makeOwnerOnly(m_path);
    QSettings settings(m_path, QSettings::IniFormat);
    const QString fullKey = QStringLiteral("Vaultry/") + key;
    const QVariant before = settings.value(fullKey);
    settings.setValue(fullKey, value);
    settings.sync();
    if (settings.status() == QSettings::NoError)
        return true;
    // Not written, so not kept either: the program's other reads of vy.ini would find it, and its next write save it.
    before.isValid() ? settings.setValue(fullKey, before) : settings.remove(fullKey);
    if (error)
        *error = QStringLiteral("%1 could not be written.").arg(QDir::toNativeSeparators(m_path));
    return false;
}
