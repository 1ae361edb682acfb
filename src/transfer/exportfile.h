#pragma once

#include "websiteprofile.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The profiles as Chromium-based browsers export passwords: a header row "name,url,username,password", then one
// row per profile; UTF-8, LF line ends, a field in double quotes where it holds a comma, a quote, a line break or
// blanks at its ends. Thumbnails and the Tympra flag have no column there and are left out.
QByteArray exportText(const QList<WebsiteProfile> &profiles);

// Writes the profiles to path, atomically and readable by its owner only. The program's own files (ownFiles) are
// refused: exporting over vy.bdb would lose the wallet.
bool exportProfiles(const QList<WebsiteProfile> &profiles, const QString &path, const QStringList &ownFiles,
                    QString *error = nullptr);
