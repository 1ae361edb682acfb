#include "profilestore.h"

namespace {

QString folderPath(const QString &programFolder)
{
    return programFolder.endsWith(QLatin1Char('/')) ? programFolder : programFolder + QLatin1Char('/');
}

} // namespace

ProfileStore::ProfileStore(const QString &programFolder)
    : m_file(folderPath(programFolder) + QStringLiteral("vy.bdb")),
      m_thumbs(folderPath(programFolder) + QStringLiteral("thumbs/"))
{
}

bool ProfileStore::open(QString *error)
{
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
    return m_file.write(m_content, std::move(key), error);
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

bool ProfileStore::save(WalletContent next, QString *error)
{
    if (!m_file.write(next, error))
        return false;
    m_content = std::move(next);
    m_index.clear();
    return true;
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
    if (!isSealed() || enrolment.masterPassword == m_content.enrolment.masterPassword)
        return save(std::move(next), error);
    std::unique_ptr<walletseal::Key> key = walletseal::Key::fresh(enrolment.masterPassword, error);
    if (!key || !m_file.write(next, std::move(key), error))
        return false;
    m_content = std::move(next);
    return true;
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

bool ProfileStore::saveThumb(const QString &picturePath, const QString &name, QString *error) const
{
    return m_thumbs.save(picturePath, name, error);
}
