#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

// Comma-separated text as password exports write it: a field in double quotes may hold commas, line breaks and
// doubled quotes; rows end in CR LF or LF. Lines with nothing on them are not rows.
// Our own reader rather than Debian's libcsv: that library has had no upstream release since 2013, and by default it
// strips blanks from unquoted cells, which would change passwords. The rules are few and each hard case is tested.
// False when the text is not CSV: *error then names the row (1-based, the header being row 1) and the fault, and
// rows holds what came before it.
bool readCsv(QStringView text, QList<QStringList> *rows, QString *error = nullptr);
