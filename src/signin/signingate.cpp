#include "signingate.h"

#include "signindialog.h"

SignInGate::SignInGate(ProfileStore &store, MessageService &messages, const QString &engineLibraryPath,
                       const KeyClock &clock)
    : m_store(store), m_messages(messages), m_engineLibraryPath(engineLibraryPath), m_clock(clock)
{
}

bool SignInGate::atStart(bool enrolled)
{
    return run(!enrolled);
}

bool SignInGate::logIn()
{
    return run(false);
}

bool SignInGate::run(bool enrolment)
{
    SignInDialog dialog(enrolment ? SignInDialog::Mode::Enrolment : SignInDialog::Mode::Login, m_store, m_messages,
                        m_engineLibraryPath, m_clock);
    return dialog.exec() == QDialog::Accepted;
}
