#include "mainwindowcontrols.h"

MainWindowControls::MainWindowControls(const DesktopDriver &driver, const QString &windowId)
    : m_driver(driver), m_window(windowId)
{
}

QString MainWindowControls::unsupportedReason() const
{
    return QStringLiteral("the main window's profile list and buttons have not landed yet");
}

QString MainWindowControls::setAutoSignIn(bool) const
{
    return unsupportedReason();
}

QString MainWindowControls::clickNewWebsiteProfile() const
{
    return unsupportedReason();
}

QString MainWindowControls::chooseProfile(int) const
{
    return unsupportedReason();
}
