#pragma once

#include <QString>
#include <QUrl>

// The logo beside the program: the program folder, a separator when missing, then "Qorvish.bmp".
QString logoPath(const QString &programFolder);

// The start page every tab shows until a real page is opened in it; the logo is referenced by its path.
QString startPageHtml(const QString &logoPath);

// The base address under which the start page is shown, so that the logo beside the program loads.
QUrl startPageBaseUrl(const QString &programFolder);
