#pragma once

#include <QString>

class ProfileStore;
class Settings;

// The SealWallet setting and the wallet's seal kept in step; any window that offers the setting calls these.
namespace walletsealing {

// The user turns sealing on or off: the wallet is sealed or unsealed at once, in one save, and the setting is written
// only once that save succeeded. False, with the reason, changes neither.
bool turn(ProfileStore &store, Settings &settings, bool on, QString *error = nullptr);

// After a passed sign-in the wallet follows the setting: sealed now when it is on, unsealed when it is off. A missing
// setting is no wish to unseal (a vy.ini lost, or not copied along with vy.bdb): a sealed wallet keeps its seal, and
// the setting is written on.
bool followSetting(ProfileStore &store, Settings &settings, QString *error = nullptr);

} // namespace walletsealing
