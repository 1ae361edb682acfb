#pragma once

#include "thumbfolder.h"
#include "walletfile.h"
#include "walletmerge.h"
#include "websiteprofile.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <functional>
#include <optional>
#include <utility>

// The one user's wallet: the enrolment and the website profiles, kept in vy.bdb, with their pictures in the thumbs
// folder, all in the program folder. Profiles are given and taken whole. Every change is written at once; when the
// wallet cannot be written, the store stays as it was and *error says why. A new operation follows the same pattern:
// build the next content, then save() it.
class ProfileStore
{
public:
    // programFolder: the folder that holds vy.bdb and thumbs/.
    explicit ProfileStore(const QString &programFolder);

    QString walletPath() const { return m_file.path(); }
    QString thumbsFolder() const { return m_thumbs.path(); }
    // The profile's picture: the thumbs folder and its name (the folder itself for a profile without one).
    QString thumbPath(const WebsiteProfile &profile) const { return m_thumbs.filePath(profile.thumbName); }

    // Reads vy.bdb; false when there is no wallet yet or it cannot be read, the store then holding no profiles.
    // See WalletFile::read for the file that is kept and for *error.
    bool open(QString *error = nullptr);
    bool foundUnreadableWallet() const { return m_file.foundUnreadable(); }
    // A sealed wallet whose header is damaged or of a newer version: open() said why; nothing may replace it.
    bool sealedWalletRefused() const { return m_file.sealedRefused(); }
    QString keptUnreadableWallet() const { return m_file.keptUnreadableFile(); }
    void removeSaveLeftovers() const { m_file.removeSaveLeftovers(); }

    // A sealed wallet found by open() is locked: it holds nothing until unlock() opens it with the master password.
    bool isLocked() const { return m_file.isLocked(); }
    bool unlock(const QString &masterPassword, QString *error = nullptr);
    // Whether vy.bdb is sealed under the master password; setSealed() seals or unseals it at once, in one save.
    bool isSealed() const { return m_file.isSealed(); }
    bool setSealed(bool on, QString *error = nullptr);

    const Enrolment &enrolment() const { return m_content.enrolment; }
    // In order of addition.
    const QList<WebsiteProfile> &profiles() const { return m_content.profiles; }
    // The index of the profile with this address and login name; -1 when there is none.
    int find(const QString &url, const QString &loginName) const;

    // A new master password of a sealed wallet seals it under a new salt and key in the same save.
    bool setEnrolment(const Enrolment &enrolment, QString *error = nullptr);
    // Appends, in the given order.
    bool add(const WebsiteProfile &profile, QString *error = nullptr);
    bool add(const QList<WebsiteProfile> &profiles, QString *error = nullptr);
    bool replace(int index, const WebsiteProfile &profile, QString *error = nullptr);
    // Later profiles move down by one. The profile's picture goes too, unless another profile still shows it.
    bool remove(int index, QString *error = nullptr);

    // Copies a chosen picture into the thumbs folder under name (a bare file name), replacing one of that name.
    bool saveThumb(const QString &picturePath, const QString &name, QString *error = nullptr) const;

    // vy.bdb may be replaced while the program runs (a sync tool, a restored backup). Every save first merges what
    // changed on disk since it was last read or written (walletmerge.h); a file on disk that does not open is never
    // written over: saves fail, saying so, until it opens or keepThisVersion() is chosen.
    // refresh() takes in such a change while nothing is being saved; false when the file does not open. A sealed one
    // opens with the held key or the wallet's master password, or with masterPassword when given (a new one, changed
    // on another machine).
    bool refresh(QString *error = nullptr, const QString &masterPassword = {});
    bool mayHaveChangedOnDisk() const { return m_file.mayHaveChanged(); }
    // Writes this machine's wallet over a vy.bdb that does not open, which is kept aside as an unreadable one.
    bool keepThisVersion(QString *error = nullptr);
    // Merges the conflict copies of vy.bdb that sync tools leave beside it (as two copies of which neither knows
    // the other's changes: nothing of either is lost, this machine's enrolment stays) and moves them into
    // conflicts-merged/. *moved names them; copies that do not open stay where they are.
    bool mergeConflictCopies(QStringList *moved, QString *error = nullptr);
    // Told after a save or a refresh took in a change from disk or from conflict copies.
    void setMergeListener(std::function<void(const walletmerge::Count &)> listener) { m_listener = listener; }

private:
    // newKey: seal under it (null: unseal) instead of the held key.
    bool save(WalletContent next, QString *error, std::unique_ptr<walletseal::Key> *newKey = nullptr);
    bool write(const WalletContent &next, std::unique_ptr<walletseal::Key> *newKey, QString *error);
    bool mergeWithDisk(WalletContent &next, std::optional<walletmerge::Count> &count, QString *error);
    bool checkIndex(int index, QString *error) const;

    WalletFile m_file;
    ThumbFolder m_thumbs;
    QString m_folder;
    WalletContent m_content;
    // The master password of the wallet on disk changed under a held key: the next save seals anew.
    bool m_rekey = false;
    std::function<void(const walletmerge::Count &)> m_listener;
    QSet<QString> m_unopenedCopies; // conflict copies that did not open, as path, size and time
    // Address and login name to the first profile that has them; made by find() after every change.
    mutable QHash<std::pair<QString, QString>, int> m_index;
};
