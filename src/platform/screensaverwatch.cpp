#include "screensaverwatch.h"

#include <QDBusConnection>

ScreenSaverWatch::ScreenSaverWatch(QObject *parent) : QObject(parent)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    // Any sender: the desktop's screen saver owns the name, whichever program that is. Some desktops announce it
    // at the short path only.
    for (const QString &path : {QStringLiteral("/org/freedesktop/ScreenSaver"), QStringLiteral("/ScreenSaver")})
        bus.connect(QString(), path, QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("ActiveChanged"),
                    this, SLOT(activeChanged(bool)));
}

void ScreenSaverWatch::activeChanged(bool active)
{
    if (active)
        emit screenLocked();
}
