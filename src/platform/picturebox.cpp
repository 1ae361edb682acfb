#include "picturebox.h"

#include <QImageReader>
#include <QLabel>
#include <QPixmap>

bool loadPicture(QLabel *label, const QString &path, const QSize &box)
{
    QImageReader reader(path);
    const QImage image = reader.read();
    if (image.isNull())
        return false;
    label->setPixmap(QPixmap::fromImage(image).scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    return true;
}
