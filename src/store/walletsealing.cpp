#include "walletsealing.h"

#include "profilestore.h"
#include "settings.h"

namespace walletsealing {

bool turn(ProfileStore &store, Settings &settings, bool on, QString *error)
{
    // The setting first: a wallet whose seal vy.ini does not know of would be turned back at the next start.
    const bool before = settings.sealWallet();
    if (!settings.setSealWallet(on, error))
        return false;
    if (store.setSealed(on, error))
        return true;
    settings.setSealWallet(before);
    return false;
}

bool followSetting(ProfileStore &store, Settings &settings, QString *error)
{
    if (store.isSealed() && !settings.hasSealWallet()) {
        settings.setSealWallet(true);
        return true;
    }
    return store.setSealed(settings.sealWallet(), error);
}

} // namespace walletsealing
