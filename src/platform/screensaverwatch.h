#pragma once

#include <QObject>

// Tells when the desktop locks its screen: the freedesktop screen-saver signal on the session bus. Without a
// session bus, or on a desktop that never sends it, it stays silent.
class ScreenSaverWatch : public QObject
{
    Q_OBJECT
public:
    explicit ScreenSaverWatch(QObject *parent = nullptr);

signals:
    void screenLocked();

private slots:
    void activeChanged(bool active);
};
