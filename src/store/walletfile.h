#pragma once

#include "walletlayout.h"

#include <QString>

// vy.bdb: the wallet enciphered under the program's fixed key, read once at start and written whole, in one step,
// after every change.
class WalletFile
{
public:
    explicit WalletFile(const QString &path);

    QString path() const { return m_path; }

    // False when there is no wallet yet (no file, an empty one) or it cannot be read. A file that holds something
    // but cannot be read (damaged, foreign, not the user's to read, a link) is kept: foundUnreadable() turns true and
    // the next write moves it aside rather than replace it. *error says why only when the cipher refused the file,
    // the one refusal the user is told of; the enrolment that follows tells of the file kept aside.
    bool read(WalletContent *content, QString *error = nullptr);
    // On failure the file is as it was: nothing of a write that fails, or is cut short, ever takes its place.
    bool write(const WalletContent &content, QString *error = nullptr);

    bool foundUnreadable() const { return m_foundUnreadable; }
    // The name (full path) under which the unreadable file was kept; empty until it was moved aside.
    QString keptUnreadableFile() const { return m_keptUnreadableFile; }

    // Deletes temporary files that a write cut short left in the folder; only while no other copy runs on it.
    void removeSaveLeftovers() const;

private:
    bool readBytes(ByteArray &bytes, bool &unreadable) const;
    bool keepAside(QString &kept, QString *error);
    QString unusedKeepAsideName() const;

    QString m_path;
    bool m_foundUnreadable = false;
    bool m_keepAsidePending = false; // the unreadable file still lies at the path and must not be replaced
    QString m_keptUnreadableFile;
};
