#include "mainwindowcontrols.h"

#include <QThread>

namespace {
// Qt on X reports 96 dots per inch unless the desktop sets Xft.dpi; Xvfb sets none.
constexpr double kPixelsPerTwip = 96.0 / 1440.0;
// The side bar starts 720 twips down; its controls' places inside it.
constexpr double kSideBarTop = 720;
constexpr double kCheckBoxLeft = 120 + 90; // on the box itself
constexpr double kCheckBoxMiddle = kSideBarTop + 2400 + 315 / 2.0;
constexpr double kListLeft = 120 + 2655 / 2.0;
constexpr double kListTop = kSideBarTop + 540 + 150;
} // namespace

MainWindowControls::MainWindowControls(const DesktopDriver &driver, const QString &windowId)
    : m_driver(driver), m_window(windowId)
{
}

QString MainWindowControls::clickAt(double leftTwips, double topTwips) const
{
    if (!m_driver.focus(m_window))
        return QStringLiteral("cannot give the main window the keyboard focus");
    const int x = qRound(leftTwips * kPixelsPerTwip);
    const int y = qRound(topTwips * kPixelsPerTwip);
    if (!m_driver.click(m_window, x, y))
        return QStringLiteral("xdotool failed to click the main window at (%1, %2)").arg(x).arg(y);
    QThread::msleep(300);
    return {};
}

QString MainWindowControls::clickAutoSignIn() const
{
    return clickAt(kCheckBoxLeft, kCheckBoxMiddle);
}

QString MainWindowControls::pressNewWebsiteProfile() const
{
    if (!m_driver.focus(m_window))
        return QStringLiteral("cannot give the main window the keyboard focus");
    // The check box has the key focus since its click; the button follows it in the tab order.
    if (!m_driver.key(QStringLiteral("Tab")) || !m_driver.key(QStringLiteral("space")))
        return QStringLiteral("xdotool failed to press New Website Profile");
    return {};
}

QString MainWindowControls::chooseProfile(int position) const
{
    const QString opened = clickAt(kListLeft, kListTop);
    if (!opened.isEmpty())
        return opened;
    // The list drops down with the current position highlighted; move to the wanted one and take it.
    for (int i = 0; i < position; ++i) {
        if (!m_driver.key(QStringLiteral("Down")))
            return QStringLiteral("xdotool failed to move in the profile list");
    }
    if (!m_driver.key(QStringLiteral("Return")))
        return QStringLiteral("xdotool failed to choose in the profile list");
    return {};
}
