#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>

#include <functional>

struct MainWindowServices;
class QWidget;

// Keeps the wallet out of sight until the user signs in again: the main window hides, every other window of the
// program is covered, and the sign-in dialog runs in login mode as at start. Passed, everything comes back as it
// was; cancelled, the program ends as when the main window closes.
// The check of a protected profile runs through here as well, so that the two never stack: a lock that comes while
// that check is open hides the wallet and waits for the check, whose pass then unlocks too.
class WalletLock : public QObject
{
    Q_OBJECT
public:
    // signIn runs the sign-in dialog and returns whether it passed; end closes the program.
    WalletLock(QWidget &window, std::function<bool()> signIn, std::function<void()> end);

    void lock();
    bool isLocked() const { return m_locked; }
    // The sign-in check of a protected profile: whether it passed.
    bool profileCheck();

signals:
    // The wallet is about to be hidden: whatever of it lies outside the windows should go now.
    void locking();

private:
    bool signIn();
    void hideWallet();
    void finish(bool passed);

    QWidget &m_window;
    std::function<bool()> m_signIn;
    std::function<void()> m_end;
    bool m_locked = false;
    bool m_checking = false;
    bool m_windowWasVisible = false;
    bool m_quitOnLastWindowClosed = true;
    QList<QPointer<QWidget>> m_covers;
    QSet<QWidget *> m_beforeCheck; // the windows open when the running check began
};

// Locks the main window after the minutes without input that the settings give, on Ctrl+Shift+L and when the desktop
// locks its screen; from here on the services' sign-in for protected profiles goes through the lock.
WalletLock *installWalletLock(QWidget &window, MainWindowServices &services);
