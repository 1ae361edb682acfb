#pragma once

#include "clsrijndael.h"

#include <QList>
#include <QString>

#include <functional>
#include <limits>
#include <memory>

// One stored website profile.
struct WebsiteProfile
{
    QString Name;
    QString URL;
    QString ID;
    QString Password;
    QString ThumbName;
    bool Tympra = false;

    bool operator==(const WebsiteProfile &) const = default;
};

// The profile store: enrolment texts, the table of website profiles, the enciphered database file,
// the settings file and the thumbnail folder, all in the program folder.
// Indexed access outside 0..WebsiteProfileCount()-1 raises std::out_of_range and changes nothing.
class clsAgentDB
{
public:
    // programFolder: the folder that holds vy.bdb, vy.ini and thumbs/ (a separator is appended when missing).
    // cipherMessage: shows the cipher's own messages (title "Vaultry", OK only, no icon).
    explicit clsAgentDB(const QString &programFolder, std::function<void(const QString &message)> cipherMessage = {});
    ~clsAgentDB();

    QString TYMUserID;
    QString TYMMasterPassword;
    QString TYMTrainData;

    QString AppPath() const { return m_appPath; }
    QString DBFile() const { return m_dbFile; }
    QString INIFile() const { return m_iniFile; }
    QString ThumbsFolder() const { return m_appPath + QStringLiteral("thumbs/"); }

    bool AddWebsiteProfile(bool bTympra, const QString &sName, const QString &sURL, const QString &sID,
                           const QString &sPassword, const QString &sThumbName);
    bool DeleteWebsiteProfile(qint32 lProfileIndex);
    qint32 WebsiteProfileCount() const;

    QString WPName(qint32 lProfileIndex) const;
    void setWPName(qint32 lProfileIndex, const QString &value);
    QString WPURL(qint32 lProfileIndex) const;
    void setWPURL(qint32 lProfileIndex, const QString &value);
    QString WPID(qint32 lProfileIndex) const;
    void setWPID(qint32 lProfileIndex, const QString &value);
    QString WPPassword(qint32 lProfileIndex) const;
    void setWPPassword(qint32 lProfileIndex, const QString &value);
    // Getting gives the full path: the thumbs folder followed by the bare name (the folder itself when empty).
    QString WPThumbName(qint32 lProfileIndex) const;
    void setWPThumbName(qint32 lProfileIndex, const QString &value);
    bool WPTympra(qint32 lProfileIndex) const;
    void setWPTympra(qint32 lProfileIndex, bool value);

    bool OpenDB();
    bool SaveDB();
    // Deletes temporary files that a save cut short left in the folder; only while no other copy runs on it.
    void RemoveSaveLeftovers() const;

    // The automatic sign-in switch in vy.ini: always "1" or "0" when read.
    QString INIAutoSignIn() const;
    void setINIAutoSignIn(const QString &s);
    // The page tab "1" opens at start when a connection exists; empty (the key missing) opens none.
    QString INIHomePage() const;
    // A whole number in the [Vaultry] section of vy.ini; defaultValue when the key is missing, not a number or
    // below minimum.
    int ININumber(const QString &key, int defaultValue, int minimum = std::numeric_limits<int>::min()) const;

    bool SaveThumb(qint32 lProfileIndex, const QString &sThumbPath);

    // The table as it is now, and a way to put it back after a failed save.
    QList<WebsiteProfile> Profiles() const { return m_profiles; }
    void RestoreProfiles(const QList<WebsiteProfile> &profiles) { m_profiles = profiles; }

    // True when OpenDB found a database file it could not read; the next SaveDB moves that file aside.
    bool FoundUnreadableDB() const { return m_foundUnreadable; }
    // The name (full path) under which the unreadable file was kept; empty until it was moved aside.
    QString KeptUnreadableDBFile() const { return m_keptUnreadableFile; }

private:
    bool EncryptDB(ByteArray &bytes);
    bool DecryptDB(ByteArray &bytes);
    void checkIndex(qint32 lProfileIndex) const;
    QString unusedKeepAsideName() const;

    QString m_appPath;
    QString m_dbFile;
    QString m_iniFile;
    std::unique_ptr<clsRijndael> Cipher;
    QList<WebsiteProfile> m_profiles;
    bool m_foundUnreadable = false;
    bool m_keepAsidePending = false; // the unreadable file still lies at DBFile and must not be replaced
    QString m_keptUnreadableFile;
};

// True when the text survives code page 1252 unchanged (the database stores one byte per character).
bool fitsCodePage1252(const QString &text);
