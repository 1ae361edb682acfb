#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

// Comma-separated text as password exports write it: a field in double quotes may hold commas, line breaks and
// doubled quotes; rows end in CR LF or LF. Lines with nothing on them are not rows.
struct CsvText
{
    QList<QStringList> rows;
    // Set when the text is not CSV; rows then holds what came before the fault.
    QString error;
    qsizetype errorRow = 0; // 1-based, the header being row 1
};

CsvText readCsv(QStringView text);
