#pragma once

#include <QString>
#include <QUrl>

// The logo beside the program: the program folder, a separator when missing, then "Qorvish.bmp".
QString logoPath(const QString &programFolder);

// The start page every tab shows until a real page is opened in it; the logo is referenced by its path.
QString startPageHtml(const QString &logoPath);

// The base address under which the start page is shown, so that the logo beside the program loads.
QUrl startPageBaseUrl(const QString &programFolder);

class QTextBrowser;
class QWidget;

// The start page as rich text, looking as a browser shows the same HTML (a serif text of 16 pixels on white, eight
// pixels from the edge, the logo centred below): it needs no web engine and no renderer of its own.
QTextBrowser *newStartPageView(QWidget *parent);
