#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// One login of a password export, in the profile's terms.
struct ImportedRow
{
    qsizetype row = 0; // 1-based row of the file, the header being row 1
    QString name; // empty when the file has none for the row
    QString url;
    QString login;
    QString password;
    QString otherType; // set when the row is not a login (a note, a card), so it is not imported
};

// A password export read and recognised by its header row.
struct PasswordFile
{
    QString layout; // "Chromium", "Firefox", "KeePassXC" or "Bitwarden"
    // The file's own column names for the four fields, so that messages name what the user sees in the file.
    QString nameColumn, urlColumn, loginColumn, passwordColumn;
    QList<ImportedRow> rows;
};

// Password exports are far smaller; a larger file is refused before it is read.
inline constexpr qint64 kLargestPasswordFile = 50 * 1024 * 1024;

// False when the file cannot be imported; *error then says why, in a sentence for the user.
bool readPasswordFile(const QString &path, PasswordFile *file, QString *error = nullptr);
// The same for the file's bytes: UTF-8, with or without a byte-order mark.
bool readPasswordText(const QByteArray &bytes, PasswordFile *file, QString *error = nullptr);
