#include "picturebox.h"

#include <QImageReader>
#include <QLabel>
#include <QPixmap>

bool loadPicture(QLabel *label, const QString &path, const QSize &box)
{
    QImageReader reader(path);
    // A large picture (a photo of many megapixels) is decoded at the size shown, never whole.
    if (const QSize size = reader.size(); size.width() > box.width() || size.height() > box.height())
        reader.setScaledSize(size.scaled(box, Qt::KeepAspectRatio));
    const QImage image = reader.read();
    if (image.isNull())
        return false;
    label->setPixmap(QPixmap::fromImage(image).scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    return true;
}
