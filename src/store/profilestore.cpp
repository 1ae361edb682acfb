#include "profilestore.h"

#include "conflictcopies.h"

#include <QFileInfo>

namespace {

QString folderPath(const QString &programFolder)
{
    return programFolder.endsWith(QLatin1Char('/')) ? programFolder : programFolder + QLatin1Char('/');
}

} // namespace

ProfileStore::ProfileStore(const QString &programFolder)
    : m_file(folderPath(programFolder) + QStringLiteral("vy.bdb")),
      m_thumbs(folderPath(programFolder) + QStringLiteral("thumbs/")), m_folder(folderPath(programFolder))
{
}

bool ProfileStore::open(QString *error)
{
    m_rekey = false;
    m_content.profiles.clear();
    m_index.clear();
    WalletContent read;
    if (!m_file.read(&read, error))
        return false;
    m_content = std::move(read);
    m_index.clear();
    return true;
}

bool ProfileStore::unlock(const QString &masterPassword, QString *error)
{
    WalletContent opened;
    if (!m_file.unlock(masterPassword, &opened, error))
        return false;
    m_content = std::move(opened);
    m_index.clear();
    return true;
}

bool ProfileStore::setSealed(bool on, QString *error)
{
    if (on == isSealed())
        return true;
    std::unique_ptr<walletseal::Key> key;
    if (on && !(key = walletseal::Key::fresh(m_content.enrolment.masterPassword, error)))
        return false;
    return save(m_content, error, &key);
}

int ProfileStore::find(const QString &url, const QString &loginName) const
{
    // From the last to the first, so that the first of several alike stays in the index.
    if (m_index.isEmpty()) {
        for (auto i = m_content.profiles.size() - 1; i >= 0; --i)
            m_index.insert({m_content.profiles.at(i).url, m_content.profiles.at(i).loginName}, int(i));
    }
    return m_index.value({url, loginName}, -1);
}

bool ProfileStore::mergeWithDisk(WalletContent &next, std::optional<walletmerge::Count> &count, QString *error)
{
    WalletContent there;
    const WalletFile::DiskState state = m_file.diskState(m_content.enrolment.masterPassword, &there, error);
    if (state == WalletFile::DiskState::Changed) {
        count.emplace();
        next = walletmerge::merge(m_content, next, there, &*count);
        m_rekey = m_rekey || count->masterPasswordChanged;
    }
    return state != WalletFile::DiskState::Unreadable;
}

bool ProfileStore::save(WalletContent next, QString *error, std::unique_ptr<walletseal::Key> *newKey)
{
    std::optional<walletmerge::Count> merged;
    if (!mergeWithDisk(next, merged, error) || !write(next, newKey, error))
        return false;
    m_content = std::move(next);
    m_index.clear();
    if (merged && m_listener)
        m_listener(*merged);
    return true;
}

bool ProfileStore::write(const WalletContent &next, std::unique_ptr<walletseal::Key> *newKey, QString *error)
{
    // A sealed wallet with a new master password (this machine's or another's) is sealed under a new salt and key.
    std::unique_ptr<walletseal::Key> fresh;
    if (!newKey && isSealed() && (m_rekey || next.enrolment.masterPassword != m_content.enrolment.masterPassword)) {
        if (!(fresh = walletseal::Key::fresh(next.enrolment.masterPassword, error)))
            return false;
        newKey = &fresh;
    }
    if (!(newKey ? m_file.write(next, std::move(*newKey), error) : m_file.write(next, error)))
        return false;
    m_rekey = m_rekey && !newKey;
    return true;
}

bool ProfileStore::refresh(QString *error, const QString &masterPassword)
{
    WalletContent there;
    if (isLocked())
        return true;
    const WalletFile::DiskState state =
        m_file.diskState(masterPassword.isEmpty() ? m_content.enrolment.masterPassword : masterPassword, &there, error);
    if (state != WalletFile::DiskState::Changed)
        return state == WalletFile::DiskState::Unchanged;
    walletmerge::Count count;
    m_content = walletmerge::merge(m_content, m_content, there, &count);
    m_index.clear();
    m_rekey = m_rekey || (count.masterPasswordChanged && isSealed());
    m_file.takeDiskAsRead();
    if (m_listener)
        m_listener(count);
    return true;
}

bool ProfileStore::keepThisVersion(QString *error)
{
    m_file.keepAsideOnNextWrite();
    return write(m_content, nullptr, error);
}

bool ProfileStore::checkIndex(int index, QString *error) const
{
    if (index >= 0 && index < m_content.profiles.size())
        return true;
    if (error)
        *error = QStringLiteral("There is no website profile %1.").arg(index + 1);
    return false;
}

bool ProfileStore::setEnrolment(const Enrolment &enrolment, QString *error)
{
    WalletContent next = m_content;
    next.enrolment = enrolment;
    return save(std::move(next), error);
}

bool ProfileStore::add(const WebsiteProfile &profile, QString *error)
{
    return add(QList<WebsiteProfile> {profile}, error);
}

bool ProfileStore::add(const QList<WebsiteProfile> &profiles, QString *error)
{
    WalletContent next = m_content;
    next.profiles += profiles;
    return save(std::move(next), error);
}

bool ProfileStore::replace(int index, const WebsiteProfile &profile, QString *error)
{
    if (!checkIndex(index, error))
        return false;
    WalletContent next = m_content;
    next.profiles[index] = profile;
    return save(std::move(next), error);
}

bool ProfileStore::remove(int index, QString *error)
{
    if (!checkIndex(index, error))
        return false;
    WalletContent next = m_content;
    const QString thumbName = next.profiles.takeAt(index).thumbName;
    if (!save(std::move(next), error))
        return false;
    // Profiles that chose pictures of the same name share one file: it goes only with the last of them.
    for (const WebsiteProfile &p : std::as_const(m_content.profiles)) {
        if (p.thumbName == thumbName)
            return true;
    }
    m_thumbs.remove(thumbName);
    return true;
}

bool ProfileStore::mergeConflictCopies(QStringList *moved, QString *error)
{
    moved->clear();
    if (isLocked())
        return true;
    WalletContent next = m_content;
    walletmerge::Count total;
    QStringList copies;
    for (const QString &path : conflictcopies::find(m_folder)) {
        // One that does not open is tried again only once it changed (a sealed one would be derived every time).
        const QFileInfo info(path);
        const QString seen = QStringLiteral("%1 %2 %3").arg(path).arg(info.size()).arg(info.lastModified().toString());
        WalletFile copy(path);
        WalletContent there;
        if (m_unopenedCopies.contains(seen) || !copy.read(&there) ||
            (copy.isLocked() && !copy.unlock(m_content.enrolment.masterPassword, &there))) {
            m_unopenedCopies.insert(seen);
            continue;
        }
        // Neither copy knows what the other had: as if both began empty, so that nothing of either is lost.
        walletmerge::Count count;
        next = walletmerge::merge({next.enrolment, {}}, next, there, &count);
        next.enrolment = m_content.enrolment;
        total.added += count.added;
        copies << path;
    }
    if (copies.isEmpty() || !save(std::move(next), error))
        return copies.isEmpty();
    for (const QString &path : std::as_const(copies))
        if (conflictcopies::moveToMerged(path, error))
            *moved << QFileInfo(path).fileName();
    if (m_listener)
        m_listener(total);
    return moved->size() == copies.size();
}

bool ProfileStore::saveThumb(const QString &picturePath, const QString &name, QString *error) const
{
    return m_thumbs.save(picturePath, name, error);
}
