#include "ininumber.h"

#include <QSettings>

int iniNumber(const QString &iniFile, const QString &key, int fallback, int minimum)
{
    const QSettings settings(iniFile, QSettings::IniFormat);
    bool ok = false;
    const int value = settings.value(QStringLiteral("Vaultry/") + key).toString().trimmed().toInt(&ok);
    return ok && value >= minimum ? value : fallback;
}
