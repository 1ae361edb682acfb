#pragma once

#include "passwordfile.h"
#include "websiteprofile.h"

class ProfileStore;

#include <QList>
#include <QString>

// A row of the file that will not become a profile, and why.
struct SkippedRow
{
    qsizetype row = 0;
    QString reason;
};

// What an import would do, worked out before anything is stored.
struct ImportPreview
{
    QList<WebsiteProfile> profiles; // to be added, in the file's order
    QList<SkippedRow> skipped;
};

// The longest texts the profile dialog takes, so that every imported profile can be edited there.
inline constexpr qsizetype kLongestName = 256;
inline constexpr qsizetype kLongestURL = 1024;
inline constexpr qsizetype kLongestID = 256;
inline constexpr qsizetype kLongestPassword = 256;

// Decides row by row against the profiles already stored. A row is skipped when it is not a login, has no address
// or no password, has an address that is not a web page, holds text that code page 1252 cannot hold or a text
// longer than the profile dialog takes, or has the same address and login name as a stored profile or an earlier
// row. A profile is named after the file's name or title, else after the address's host.
// The store adds the previewed profiles in one change (ProfileStore::add).
ImportPreview previewImport(const PasswordFile &file, const ProfileStore &store);
