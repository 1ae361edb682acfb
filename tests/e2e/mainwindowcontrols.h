#pragma once

#include "desktopdriver.h"

#include <QString>

// Operates the controls of the main window with the mouse and the keyboard, as a user does. Each action
// returns an empty text on success, otherwise what went wrong.
class MainWindowControls
{
public:
    MainWindowControls(const DesktopDriver &driver, const QString &windowId);

    // Non-empty when this window cannot be operated (it lacks the controls this test needs).
    QString unsupportedReason() const;

    QString setAutoSignIn(bool ticked) const;
    QString clickNewWebsiteProfile() const;
    // Chooses list position p (0 is the placeholder, p >= 1 the profiles in store order).
    QString chooseProfile(int position) const;

private:
    const DesktopDriver &m_driver;
    QString m_window;
};
