#pragma once

#include "websiteprofile.h"

#include <QAbstractListModel>

// The profile list as the main window shows it: the placeholder first, then every profile whose name or address
// contains the find text (ignoring case), in store order. With no find text it lists every profile.
class ProfileListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    explicit ProfileListModel(QObject *parent = nullptr);

    // Takes the names and addresses of the store's profiles; nothing else of them is kept.
    void setProfiles(const QList<WebsiteProfile> &profiles);
    void setFilter(const QString &text);
    QString filter() const { return m_filter; }

    // The store index a row shows; -1 for the placeholder and rows past the end.
    int profileAt(int row) const;
    // The row that shows a store index; -1 when the find text hides it.
    int rowOf(int profile) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    void refilter();

    QStringList m_names;
    QStringList m_urls;
    QList<int> m_shown; // store indices, in store order
    QString m_filter;
};
