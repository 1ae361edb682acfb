#pragma once

#include <QSize>
#include <QString>

class QLabel;

// Loads a picture file (BMP, JPEG, GIF, PNG ...) into a label, scaled to fit `box` with its proportions kept.
// Returns false, leaving the label as it was, when the file is missing or is no picture.
bool loadPicture(QLabel *label, const QString &path, const QSize &box);
