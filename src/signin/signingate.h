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
    // A new master password and ten typings of it, saved in one step (sealed anew under it when the wallet is
    // sealed). Ask logIn() first: the change of master password is that check, then this. Cancel changes nothing.
    bool newMasterPassword();

private:
    bool run(int mode);

    ProfileStore &m_store;
    MessageService &m_messages;
    QString m_engineLibraryPath;
    const KeyClock &m_clock;
};
