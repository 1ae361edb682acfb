#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QStringList>

#include <optional>

struct KeyEventPlan;
struct xcb_connection_t;

// Drives the X display the way a user does: finds windows by title, gives them the keyboard focus, types,
// clicks and takes screenshots. Input goes through xdotool (XTEST), so the program under test receives real
// key and mouse events with the server's own timestamps.
class DesktopDriver
{
public:
    DesktopDriver();
    ~DesktopDriver();
    DesktopDriver(const DesktopDriver &) = delete;
    DesktopDriver &operator=(const DesktopDriver &) = delete;

    struct Geometry
    {
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
    };

    // True while process pid exists and has not ended (a process that ended but was not yet reaped counts as ended).
    static bool processAlive(qint64 pid);

    // Checks that the display and the tools are there; returns a reason when something is missing.
    static QString unavailableReason();

    // Visible windows of process pid (0: any process) whose title matches titleRegex (extended regex).
    QStringList visibleWindows(const QString &titleRegex, qint64 pid = 0) const;
    // Polls until such a window is visible; empty on timeout, or at once when process pid has ended.
    QString waitForWindow(const QString &titleRegex, qint64 pid, int timeoutMs, int pollPauseMs = 50) const;
    // Polls until no such window is visible; false on timeout.
    bool waitForNoWindow(const QString &titleRegex, qint64 pid, int timeoutMs) const;
    // Titles of all visible windows, for failure messages.
    QStringList visibleTitles() const;

    // Gives the window the keyboard focus (activation through a window manager when there is one).
    bool focus(const QString &windowId) const;
    std::optional<Geometry> geometry(const QString &windowId) const;

    // Types text with a fixed delay between keys (no rhythm capture relies on it).
    bool typeText(const QString &text, int delayMs = 60) const;
    // Presses and releases keys given as X key names ("Return", "Tab", "space").
    bool key(const QString &keyName) const;
    // Plays key-downs, key-ups and pauses in one xdotool run, so that the pauses are kept to the millisecond.
    bool play(const KeyEventPlan &plan) const;
    // Moves the pointer to (x, y) inside the window and clicks the left button.
    bool click(const QString &windowId, int x, int y) const;
    // Asks the window to close as the close box of a title bar does (WM_DELETE_WINDOW).
    bool requestClose(const QString &windowId) const;
    // Asks the window to close until it has gone from the screen; false at the timeout.
    bool closeWindow(const QString &windowId, int timeoutMs) const;

    // Saves the whole screen as an image file (format from the suffix).
    bool screenshot(const QString &path) const;

private:
    // Held open for the driver's lifetime: an X server without clients resets itself, and a program that
    // connects during the reset fails to start.
    xcb_connection_t *m_connection = nullptr;

    bool xdotool(const QStringList &args, QString *output = nullptr, int timeoutMs = 20000) const;
};
