#include "profilelist.h"

namespace {
const QString kSelectProfile = QStringLiteral("Select a website profile");
const QString kNoProfile = QStringLiteral("No website profile is available");
} // namespace

ProfileListModel::ProfileListModel(QObject *parent) : QAbstractListModel(parent) { }

void ProfileListModel::setProfiles(const QList<WebsiteProfile> &profiles)
{
    m_names.clear();
    m_urls.clear();
    for (const WebsiteProfile &p : profiles) {
        m_names.append(p.name);
        m_urls.append(p.url);
    }
    refilter();
}

void ProfileListModel::setFilter(const QString &text)
{
    m_filter = text;
    refilter();
}

void ProfileListModel::refilter()
{
    // One reset instead of row-by-row changes: a view over thousands of rows relays itself out once.
    beginResetModel();
    m_shown.clear();
    for (int i = 0; i < m_names.size(); ++i)
        if (m_filter.isEmpty() || m_names.at(i).contains(m_filter, Qt::CaseInsensitive) ||
            m_urls.at(i).contains(m_filter, Qt::CaseInsensitive))
            m_shown.append(i);
    endResetModel();
}

int ProfileListModel::profileAt(int row) const
{
    return row >= 1 && row <= m_shown.size() ? m_shown.at(row - 1) : -1;
}

int ProfileListModel::rowOf(int profile) const
{
    const auto it = std::lower_bound(m_shown.cbegin(), m_shown.cend(), profile);
    return it != m_shown.cend() && *it == profile ? int(it - m_shown.cbegin()) + 1 : -1;
}

int ProfileListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_shown.size()) + 1;
}

QVariant ProfileListModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    if (index.row() == 0)
        return m_names.isEmpty() ? kNoProfile : kSelectProfile;
    const int profile = profileAt(index.row());
    return profile < 0 ? QVariant() : QVariant(m_names.at(profile));
}
