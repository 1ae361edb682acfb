#pragma once

#include "desktopdriver.h"
#include "typingrhythm.h"

#include <QString>

// What a user does in the sign-in dialog: enrol with ten typings of the master password, or log in with one,
// always in the same personal rhythm.
class SignInFlow
{
public:
    SignInFlow(const DesktopDriver &driver, const QString &userName, const QString &masterPassword, quint32 seed);

    // Each returns an empty text on success, otherwise what went wrong. pid: the program's process.
    // Fills in the first step of the enrolment dialog (user name and password, untimed) and presses Next.
    QString enterNewUser(qint64 pid);
    // Types the ten timed samples, Next after each; the dialog closes after the tenth.
    QString typeTenSamples(qint64 pid);
    // Login in steps, so that callers can look or time in between: fill in the shown login dialog (user name,
    // then the timed password), press Next, and wait until the dialog has closed (or refused with a message).
    QString fillInLogin(const QString &dialogId);
    QString pressNext();
    QString awaitLoginClosed(qint64 pid) const;

    static constexpr int kWindowTimeoutMs = 60000;

private:
    QString refusal(qint64 pid, const QString &step) const;
    QString awaitClosed(qint64 pid, const QString &dialogTitle, const QString &step) const;

    const DesktopDriver &m_driver;
    QString m_userName;
    QString m_password;
    TypingRhythm m_rhythm;
};
