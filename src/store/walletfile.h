#pragma once

#include "walletlayout.h"
#include "walletseal.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <memory>

// vy.bdb: the wallet enciphered under the program's fixed key, read once at start and written whole, in one step,
// after every change. A sealed wallet (see walletseal.h) is read in two steps: read() finds it, unlock() opens it
// with the master password; from then on the derived key is held, and every write seals under it.
class WalletFile
{
public:
    explicit WalletFile(const QString &path);

    QString path() const { return m_path; }

    // False when there is no wallet yet (no file, an empty one) or it cannot be read. A file that holds something
    // but cannot be read (damaged, foreign, not the user's to read, a link) is kept: foundUnreadable() turns true and
    // the next write moves it aside rather than replace it. *error says why only when the cipher refused the file,
    // the one refusal the user is told of; the enrolment that follows tells of the file kept aside.
    // A sealed file is true with nothing in content yet, isLocked() turning true; one whose header is damaged or of
    // a newer version is false with the reason, sealedRefused() turning true: it is never kept aside or replaced.
    bool read(WalletContent *content, QString *error = nullptr);
    bool isLocked() const { return !m_lockedFile.empty(); }
    bool sealedRefused() const { return m_sealedRefused; }
    // Opens the sealed file read() found. False when the password does not open it (or the file was changed);
    // nothing changes then.
    bool unlock(const QString &masterPassword, WalletContent *content, QString *error = nullptr);

    // On failure the file is as it was: nothing of a write that fails, or is cut short, ever takes its place. Sealed
    // when a key is held; refused while a sealed file waits for its password.
    bool write(const WalletContent &content, QString *error = nullptr);
    // The same under another key (null: the described file alone), which is held from then on once written.
    bool write(const WalletContent &content, std::unique_ptr<walletseal::Key> key, QString *error = nullptr);
    bool isSealed() const { return m_key != nullptr; }

    // The file on disk against what was last read or written (a sync tool, a restored backup may have replaced it).
    // Changed: there holds what it has now; a sealed one is opened with the held key, or else with masterPassword.
    // Unreadable: it holds something that cannot be opened (damaged, half synced, sealed under another password);
    // *error says so. A missing or empty file is unchanged: there is nothing on it to lose; one that appeared where
    // there was none is changed.
    enum class DiskState { Unchanged, Changed, Unreadable };
    DiskState diskState(const QString &masterPassword, WalletContent *there, QString *error = nullptr);
    // The changed file found by diskState() is taken as read: no write needs it.
    void takeDiskAsRead() { m_known = m_onDisk; }
    // A cheap look (size and time) whether the file may have changed; false also while nothing was read or written.
    bool mayHaveChanged() const;
    // The next write moves the file on disk aside, as an unreadable wallet, instead of merging with it.
    void keepAsideOnNextWrite() { m_keepAsidePending = true; }

    bool foundUnreadable() const { return m_foundUnreadable; }
    // The name (full path) under which the unreadable file was kept; empty until it was moved aside.
    QString keptUnreadableFile() const { return m_keptUnreadableFile; }

    // Deletes temporary files that a write cut short left in the folder; only while no other copy runs on it.
    void removeSaveLeftovers() const;

private:
    bool readBytes(ByteArray &bytes, bool &unreadable) const;
    bool encode(const WalletContent &content, const walletseal::Key *key, ByteArray &bytes, QString *error) const;
    bool decode(const ByteArray &bytes, WalletContent *content, QString *error) const;
    bool commit(const ByteArray &bytes, QString *error);
    bool openAny(const ByteArray &bytes, const QString &masterPassword, WalletContent *content) const;

    // What was last read or written: size, modification time and a hash of the bytes; the file's number and the time
    // of its last change too, so that a file renamed into place is seen even within the clock's resolution.
    struct Fingerprint
    {
        std::array<qint64, 4> stat {-1, 0, 0, 0}; // size, inode, modified and changed in nanoseconds
        QByteArray hash;
    };
    Fingerprint fingerprint(const ByteArray &bytes) const;
    std::array<qint64, 4> statNow() const;
    bool keepAside(QString &kept, QString *error);
    QString unusedKeepAsideName() const;

    QString m_path;
    bool m_foundUnreadable = false;
    bool m_keepAsidePending = false; // the unreadable file still lies at the path and must not be replaced
    QString m_keptUnreadableFile;
    std::unique_ptr<walletseal::Key> m_key;
    ByteArray m_lockedFile; // a sealed file read and not yet opened
    bool m_sealedRefused = false;
    Fingerprint m_known; // empty: nothing read or written yet
    Fingerprint m_onDisk; // the changed file diskState() found
};
