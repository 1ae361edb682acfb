// Draws false-rejection and false-acceptance rates over the security levels into a picture.
#pragma once

#include "rhythmevaluation.h"

#include <QImage>
#include <QList>
#include <QString>

namespace levelplot {

// Needs a QGuiApplication (fonts). The note goes under the plot (data source, protocol).
QImage draw(const QList<LevelRates> &rates, int programLevel, const QString &title, const QString &note);

} // namespace levelplot
