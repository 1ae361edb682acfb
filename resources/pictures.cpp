#include "pictures.h"

#include <QIcon>
#include <QImageReader>
#include <QPixmap>

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

QPixmap vaultryPicture(const QString &path, double devicePixelRatio)
{
    initVaultryPictures();
    // QIcon finds the @2x file beside the named one and picks by ratio.
    return QIcon(path).pixmap(QImageReader(path).size(), devicePixelRatio);
}
