#include "signinflow.h"

#include "vaultrywindows.h"

#include <QDeadlineTimer>
#include <QThread>

namespace {
// A person looks at the screen between two typings.
constexpr int kThinkMs = 350;
// How long a refusal message box may take to appear after Next.
constexpr int kMessageWaitMs = 600;

const QStringList &messageTitles()
{
    static const QStringList titles {VaultryWindows::kRegistrationMessage, VaultryWindows::kLoginMessage,
                                     VaultryWindows::kMessage};
    return titles;
}
} // namespace

SignInFlow::SignInFlow(const DesktopDriver &driver, const QString &userName, const QString &masterPassword,
                       quint32 seed)
    : m_driver(driver), m_userName(userName), m_password(masterPassword), m_rhythm(seed)
{
}

// A message box of the program after Next means the dialog refused the input.
QString SignInFlow::refusal(qint64 pid, const QString &step) const
{
    for (const QString &title : messageTitles()) {
        if (!m_driver.visibleWindows(title, pid).isEmpty())
            return QStringLiteral("%1: the program answered with a message box titled \"%2\"")
                .arg(step, title.mid(1, title.size() - 2));
    }
    return {};
}

// Waits until the dialog has closed, or a message box tells that it refused.
QString SignInFlow::awaitClosed(qint64 pid, const QString &dialogTitle, const QString &step) const
{
    QDeadlineTimer deadline(kWindowTimeoutMs);
    do {
        const QString refused = refusal(pid, step);
        if (!refused.isEmpty())
            return refused;
        if (m_driver.visibleWindows(dialogTitle, pid).isEmpty())
            return {};
        QThread::msleep(50);
    } while (!deadline.hasExpired());
    return QStringLiteral("%1: the dialog stayed open for %2 s after Next").arg(step).arg(kWindowTimeoutMs / 1000);
}

QString SignInFlow::enterNewUser(qint64 pid)
{
    const QString dialog = m_driver.waitForWindow(VaultryWindows::kEnrolment, pid, kWindowTimeoutMs);
    if (dialog.isEmpty())
        return QStringLiteral("the enrolment dialog did not appear within %1 s; visible windows: %2")
            .arg(kWindowTimeoutMs / 1000)
            .arg(m_driver.visibleTitles().join(QStringLiteral(", ")));
    if (!m_driver.focus(dialog))
        return QStringLiteral("cannot give the enrolment dialog the keyboard focus");
    QThread::msleep(kThinkMs);
    if (!m_driver.typeText(m_userName) || !m_driver.key(QStringLiteral("Tab")) || !m_driver.typeText(m_password) ||
        !m_driver.key(QStringLiteral("Return")))
        return QStringLiteral("xdotool failed while typing the new user");
    QThread::msleep(kMessageWaitMs);
    return refusal(pid, QStringLiteral("new user name and master password"));
}

QString SignInFlow::typeTenSamples(qint64 pid)
{
    for (int sample = 1; sample <= 10; ++sample) {
        QThread::msleep(kThinkMs);
        if (!m_driver.play(m_rhythm.plan(m_password)))
            return QStringLiteral("xdotool failed while typing sample %1").arg(sample);
        const QString next = pressNext();
        if (!next.isEmpty())
            return next;
        if (sample < 10) {
            QThread::msleep(kMessageWaitMs);
            const QString refused = refusal(pid, QStringLiteral("sample %1").arg(sample));
            if (!refused.isEmpty())
                return refused;
        }
    }
    return awaitClosed(pid, VaultryWindows::kEnrolment, QStringLiteral("sample 10"));
}

QString SignInFlow::awaitLoginClosed(qint64 pid) const
{
    return awaitClosed(pid, VaultryWindows::kLogin, QStringLiteral("login"));
}

QString SignInFlow::fillInLogin(const QString &dialogId)
{
    if (!m_driver.focus(dialogId))
        return QStringLiteral("cannot give the login dialog the keyboard focus");
    QThread::msleep(kThinkMs);
    if (!m_driver.typeText(m_userName) || !m_driver.key(QStringLiteral("Tab")))
        return QStringLiteral("xdotool failed while typing the user name");
    QThread::msleep(kThinkMs);
    if (!m_driver.play(m_rhythm.plan(m_password)))
        return QStringLiteral("xdotool failed while typing the master password");
    return {};
}

QString SignInFlow::pressNext()
{
    QThread::msleep(kThinkMs / 2);
    if (!m_driver.key(QStringLiteral("Return")))
        return QStringLiteral("xdotool failed to press Next");
    return {};
}
