#pragma once

#include <QString>

class KeyClock;
class MessageService;
class ProfileStore;

// The way into the wallet for every window: runs the sign-in dialog, fresh for each check, and returns whether the
// user got in. Nothing else keeps the verdict.
class SignInGate
{
public:
    SignInGate(ProfileStore &store, MessageService &messages, const QString &engineLibraryPath, const KeyClock &clock);

    // At start: the enrolment when no wallet could be opened (enrolled false), else the login.
    bool atStart(bool enrolled);
    // Once more, in login mode: a protected profile, a locked wallet.
    bool logIn();

private:
    bool run(bool enrolment);

    ProfileStore &m_store;
    MessageService &m_messages;
    QString m_engineLibraryPath;
    const KeyClock &m_clock;
};
