#pragma once

#include "passwordstrength.h"
#include "websiteprofile.h"

#include <QHash>
#include <QList>

// Which stored passwords deserve a change: each one zxcvbn rates 0 to 2 ("Too guessable" to "Somewhat guessable"),
// and each one that several profiles share. Protected profiles take part only once the caller's rhythm check has
// passed, since a finding about one would tell something of its password.
class PasswordHealth
{
public:
    struct Weak
    {
        int profile; // store index
        QString rating;
    };
    struct Report
    {
        QList<Weak> weak; // in store order
        QList<QList<int>> shared; // store indices of one password each, in store order, by their first profile
        int heldBack = 0; // protected profiles left out
        int findings() const { return int(weak.size() + shared.size()); }
    };

    static constexpr int kWeakestSafeScore = 3;

    Report check(const QList<WebsiteProfile> &profiles, bool withProtected);

private:
    // The ratings of the last check's passwords, so that a check after a change rates only the new ones.
    QHash<QString, PasswordStrength> m_ratings;
};
