#include "signingate.h"

#include "signindialog.h"

SignInGate::SignInGate(ProfileStore &store, MessageService &messages, const QString &engineLibraryPath,
                       const KeyClock &clock)
    : m_store(store), m_messages(messages), m_engineLibraryPath(engineLibraryPath), m_clock(clock)
{
}

bool SignInGate::atStart(bool enrolled)
{
    return run(int(enrolled ? SignInDialog::Mode::Login : SignInDialog::Mode::Enrolment));
}

bool SignInGate::logIn()
{
    return run(int(SignInDialog::Mode::Login));
}

bool SignInGate::newMasterPassword()
{
    return run(int(SignInDialog::Mode::NewPassword));
}

bool SignInGate::run(int mode)
{
    SignInDialog dialog(SignInDialog::Mode(mode), m_store, m_messages, m_engineLibraryPath, m_clock);
    return dialog.exec() == QDialog::Accepted;
}
