#include "walletsealing.h"

#include "profilestore.h"
#include "settings.h"

namespace walletsealing {

bool turn(ProfileStore &store, Settings &settings, bool on, QString *error)
{
    if (!store.setSealed(on, error))
        return false;
    settings.setSealWallet(on);
    return true;
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
