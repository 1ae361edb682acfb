#include "passwordhealth.h"

PasswordHealth::Report PasswordHealth::check(const QList<WebsiteProfile> &profiles, bool withProtected)
{
    Report report;
    QHash<QString, PasswordStrength> ratings;
    QHash<QString, QList<int>> users; // password to the profiles that use it
    QList<QString> order; // passwords by their first profile
    for (int i = 0; i < profiles.size(); ++i) {
        const WebsiteProfile &p = profiles.at(i);
        if (p.tympra && !withProtected) {
            ++report.heldBack;
            continue;
        }
        auto rating = ratings.find(p.password);
        if (rating == ratings.end())
            rating = ratings.insert(p.password,
                                    m_ratings.contains(p.password) ? m_ratings.value(p.password)
                                                                   : PasswordStrength::of(p.password));
        if (rating->score < kWeakestSafeScore)
            report.weak.append({i, rating->words});
        QList<int> &same = users[p.password];
        if (same.isEmpty())
            order.append(p.password);
        same.append(i);
    }
    for (const QString &password : std::as_const(order))
        if (const QList<int> &same = users.value(password); same.size() > 1)
            report.shared.append(same);
    m_ratings.swap(ratings); // passwords no longer stored are forgotten
    return report;
}
