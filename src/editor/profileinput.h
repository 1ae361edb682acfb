#pragma once

#include "websiteprofile.h"

#include <QString>

// What the profile dialog holds when Confirm is pressed.
struct ProfileInput
{
    QString name;
    QString url;
    QString loginName;
    QString password;
    bool tympra = false;
    QString thumbName; // the bare name of a picture chosen in this dialog; empty when none was chosen
};

// Shown when the wallet could not be written after a change to the profiles, with the reason below it.
inline const QString kUpdateDatabaseFailed = QStringLiteral("Failed to update database.\r\nPlease try again.");

// Removes leading and trailing blanks (only blanks, as the stored texts always were).
QString trimBlanks(const QString &text);

// The profile the input makes over `before` (an edited profile keeps its picture unless another was chosen): texts
// trimmed, each required, each one that code page 1252 can hold. False, with the message for the user, otherwise.
bool profileFromInput(const ProfileInput &input, const WebsiteProfile &before, WebsiteProfile *profile,
                      QString *error = nullptr);
