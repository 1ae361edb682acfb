#include "pictures.h"

#include <QtGlobal>

#include <mutex>

static void registerPictures()
{
    Q_INIT_RESOURCE(pictures);
}

void initVaultryPictures()
{
    static std::once_flag once;
    std::call_once(once, registerPictures);
}
