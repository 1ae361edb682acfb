#pragma once

#include "desktopdriver.h"

#include <QString>

// Operates the controls of the main window with the mouse and the keyboard, as a user does. The side bar's
// controls sit at fixed design places (in twips from the window's top left corner), so they are found from
// the window alone. Each action returns an empty text on success, otherwise what went wrong.
class MainWindowControls
{
public:
    MainWindowControls(const DesktopDriver &driver, const QString &windowId);

    // Clicks "Automatically sign in." (clear in a fresh program folder, so one click ticks it).
    QString clickAutoSignIn() const;
    // Presses "New Website Profile": the key focus goes from the check box to the button (next in the tab
    // order of the side bar), and Space presses it.
    QString pressNewWebsiteProfile() const;
    // Chooses list position p of the profile list (0 is the placeholder, p >= 1 the profiles in store order).
    QString chooseProfile(int position) const;

private:
    QString clickAt(double leftTwips, double topTwips) const;

    const DesktopDriver &m_driver;
    QString m_window;
};
