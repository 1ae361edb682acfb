#include "walletlock.h"

#include "idlewatch.h"
#include "mainwindowservices.h"
#include "screensaverwatch.h"
#include "settings.h"

#include <QApplication>
#include <QShortcut>
#include <QToolTip>
#include <QWidget>

WalletLock::WalletLock(QWidget &window, std::function<bool()> signIn, std::function<void()> end)
    : QObject(&window), m_window(window), m_signIn(std::move(signIn)), m_end(std::move(end))
{
}

void WalletLock::lock()
{
    if (m_locked)
        return;
    m_locked = true;
    emit locking();
    hideWallet();
    if (!m_checking)
        finish(signIn());
}

bool WalletLock::profileCheck()
{
    const bool passed = signIn();
    if (m_locked)
        finish(passed || signIn());
    return passed; // only the profile's own check opens it
}

bool WalletLock::signIn()
{
    m_beforeCheck.clear();
    for (QWidget *top : QApplication::topLevelWidgets())
        if (top->isVisible())
            m_beforeCheck.insert(top);
    m_checking = true;
    const bool passed = m_signIn && m_signIn();
    m_checking = false;
    return passed;
}

void WalletLock::hideWallet()
{
    QToolTip::hideText();
    if (QWidget *popup = QApplication::activePopupWidget())
        popup->close();
    m_windowWasVisible = m_window.isVisible();
    // With the main window hidden, the closing sign-in dialog would be the program's last window.
    m_quitOnLastWindowClosed = QApplication::quitOnLastWindowClosed();
    QApplication::setQuitOnLastWindowClosed(false);
    m_window.hide();
    // Dialogs stay open under a cover, their input kept: hiding one would end it as if cancelled. The windows of a
    // sign-in check that is open now (the dialog and its messages) belong to the check that unlocks: left usable.
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (top == &m_window || !top->isVisible() || (m_checking && !m_beforeCheck.contains(top)))
            continue;
        auto *cover = new QWidget(top);
        cover->setAutoFillBackground(true);
        cover->setGeometry(top->rect());
        cover->raise();
        cover->show();
        m_covers.append(cover);
    }
}

void WalletLock::finish(bool passed)
{
    if (!passed) {
        m_end();
        return;
    }
    for (const QPointer<QWidget> &cover : std::as_const(m_covers))
        delete cover.data();
    m_covers.clear();
    if (m_windowWasVisible)
        m_window.show();
    // The input goes back where it was: to a dialog that was open, else to the window.
    QWidget *active = QApplication::activeModalWidget();
    (active ? active : &m_window)->activateWindow();
    QApplication::setQuitOnLastWindowClosed(m_quitOnLastWindowClosed);
    m_locked = false;
}

WalletLock *installWalletLock(QWidget &window, MainWindowServices &services)
{
    auto *lock = new WalletLock(window, services.signIn, [&window] {
        window.close(); // saves what the close saves
        QCoreApplication::exit(0);
    });
    services.signIn = [lock] {
        return lock->profileCheck();
    };

    auto *idle = new IdleWatch(IdleWatch::fromMinutes(services.settings.lockMinutes()), lock);
    QObject::connect(idle, &IdleWatch::idle, lock, &WalletLock::lock);
    auto *shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_L), &window);
    QObject::connect(shortcut, &QShortcut::activated, lock, &WalletLock::lock);
    auto *screen = new ScreenSaverWatch(lock);
    QObject::connect(screen, &ScreenSaverWatch::screenLocked, lock, &WalletLock::lock);
    return lock;
}
