#include "clsagentdb.h"

#include "thumbname.h"

#include <QFile>
#include <QFileInfo>

#include <stdexcept>
#include <string>

clsAgentDB::clsAgentDB(const QString &programFolder, std::function<void(const QString &message)> cipherMessage)
    : m_appPath(programFolder.endsWith(QLatin1Char('/')) ? programFolder : programFolder + QLatin1Char('/')),
      m_dbFile(m_appPath + QStringLiteral("vy.bdb")), m_iniFile(m_appPath + QStringLiteral("vy.ini")),
      Cipher(std::make_unique<clsRijndael>())
{
    if (cipherMessage) {
        Cipher->SetMessageCallback(
            [show = std::move(cipherMessage)](const std::string &message) { show(QString::fromStdString(message)); });
    }
}

clsAgentDB::~clsAgentDB() = default;

void clsAgentDB::checkIndex(qint32 lProfileIndex) const
{
    if (lProfileIndex < 0 || lProfileIndex >= m_profiles.size())
        throw std::out_of_range("clsAgentDB: profile index " + std::to_string(lProfileIndex) + " outside 0.." +
                                std::to_string(m_profiles.size() - 1));
}

bool clsAgentDB::AddWebsiteProfile(bool bTympra, const QString &sName, const QString &sURL, const QString &sID,
                                   const QString &sPassword, const QString &sThumbName)
{
    m_profiles.append(WebsiteProfile {sName, sURL, sID, sPassword, sThumbName, bTympra});
    return true;
}

bool clsAgentDB::DeleteWebsiteProfile(qint32 lProfileIndex)
{
    checkIndex(lProfileIndex);
    const QString thumbName = m_profiles.at(lProfileIndex).ThumbName;
    m_profiles.removeAt(lProfileIndex);
    if (m_profiles.isEmpty())
        m_profiles = QList<WebsiteProfile>();

    // Profiles that chose pictures of the same name share one file: it goes only with the last of them.
    // A name with a folder in it (a damaged or foreign file) never leads to deleting anything outside the folder.
    if (!thumbname::isBareName(thumbName))
        return true;
    for (const WebsiteProfile &p : std::as_const(m_profiles)) {
        if (p.ThumbName == thumbName)
            return true;
    }
    const QFileInfo thumb(ThumbsFolder() + thumbName);
    if (thumb.exists() && !thumb.isDir())
        QFile::remove(thumb.filePath());
    return true;
}

qint32 clsAgentDB::WebsiteProfileCount() const
{
    return static_cast<qint32>(m_profiles.size());
}

QString clsAgentDB::WPName(qint32 lProfileIndex) const
{
    checkIndex(lProfileIndex);
    return m_profiles.at(lProfileIndex).Name;
}

void clsAgentDB::setWPName(qint32 lProfileIndex, const QString &value)
{
    checkIndex(lProfileIndex);
    m_profiles[lProfileIndex].Name = value;
}

QString clsAgentDB::WPURL(qint32 lProfileIndex) const
{
    checkIndex(lProfileIndex);
    return m_profiles.at(lProfileIndex).URL;
}

void clsAgentDB::setWPURL(qint32 lProfileIndex, const QString &value)
{
    checkIndex(lProfileIndex);
    m_profiles[lProfileIndex].URL = value;
}

QString clsAgentDB::WPID(qint32 lProfileIndex) const
{
    checkIndex(lProfileIndex);
    return m_profiles.at(lProfileIndex).ID;
}

void clsAgentDB::setWPID(qint32 lProfileIndex, const QString &value)
{
    checkIndex(lProfileIndex);
    m_profiles[lProfileIndex].ID = value;
}

QString clsAgentDB::WPPassword(qint32 lProfileIndex) const
{
    checkIndex(lProfileIndex);
    return m_profiles.at(lProfileIndex).Password;
}

void clsAgentDB::setWPPassword(qint32 lProfileIndex, const QString &value)
{
    checkIndex(lProfileIndex);
    m_profiles[lProfileIndex].Password = value;
}

QString clsAgentDB::WPThumbName(qint32 lProfileIndex) const
{
    checkIndex(lProfileIndex);
    return ThumbsFolder() + m_profiles.at(lProfileIndex).ThumbName;
}

void clsAgentDB::setWPThumbName(qint32 lProfileIndex, const QString &value)
{
    checkIndex(lProfileIndex);
    m_profiles[lProfileIndex].ThumbName = value;
}

bool clsAgentDB::WPTympra(qint32 lProfileIndex) const
{
    checkIndex(lProfileIndex);
    return m_profiles.at(lProfileIndex).Tympra;
}

void clsAgentDB::setWPTympra(qint32 lProfileIndex, bool value)
{
    checkIndex(lProfileIndex);
    m_profiles[lProfileIndex].Tympra = value;
}
