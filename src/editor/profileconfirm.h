#pragma once

#include "messageservice.h"

#include <QList>
#include <QString>

class clsAgentDB;

// What the profile dialog holds when Confirm is pressed.
struct ProfileInput
{
    QString name;
    QString url;
    QString id;
    QString password;
    bool tympra = false;
    QString thumbFullPath; // a picture chosen in this dialog; empty when none was chosen
    QString thumbName; // its bare file name, the name of the copy in the thumbs folder
};

// One message to show, in order.
struct ProfileNotice
{
    QString text;
    MessageIcon icon;
};

struct ConfirmOutcome
{
    bool saved = false; // the database now holds the profile; the dialog raises WPUpdated and closes
    QList<ProfileNotice> notices;
};

// Shown when the database could not be written after a change to the profiles.
inline const QString kUpdateDatabaseFailed = QStringLiteral("Failed to update database.\r\nPlease try again.");

// Removes leading and trailing blanks (only blanks, as the stored texts always were).
QString trimBlanks(const QString &text);

// Validates the input and stores it as a new profile (editIndex < 0) or over profile editIndex,
// copies a newly chosen picture into the thumbs folder and writes the database.
// When the database cannot be written, the table is put back as it was, so a second try adds nothing twice.
ConfirmOutcome confirmProfile(clsAgentDB &db, const ProfileInput &input, qint32 editIndex);
