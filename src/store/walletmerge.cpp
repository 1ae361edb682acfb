#include "walletmerge.h"

#include <QHash>

#include <utility>

namespace walletmerge {

namespace {

using Key = std::pair<QString, QString>;

// The profiles of one copy by address and login name, each key with its profiles in order.
class Profiles
{
public:
    explicit Profiles(const QList<WebsiteProfile> &profiles) : m_profiles(profiles)
    {
        m_byKey.reserve(profiles.size());
        for (qsizetype i = 0; i < profiles.size(); ++i)
            m_byKey[{profiles[i].url, profiles[i].loginName}].append(i);
    }
    // The n-th profile with the key; null when there is none.
    const WebsiteProfile *find(const Key &key, int n) const
    {
        const auto found = m_byKey.constFind(key);
        return found == m_byKey.cend() || n >= found->size() ? nullptr : &m_profiles[found->at(n)];
    }

private:
    const QList<WebsiteProfile> &m_profiles;
    QHash<Key, QList<qsizetype>> m_byKey;
};

bool same(const WebsiteProfile *a, const WebsiteProfile *b)
{
    return a == b || (a && b && *a == *b);
}

// One profile as base, here and there have it (each may have none): what the merged wallet holds of it.
void resolve(const WebsiteProfile *base, const WebsiteProfile *here, const WebsiteProfile *there,
             QList<WebsiteProfile> &merged, QList<WebsiteProfile> &otherVersions, Count &count)
{
    if (same(here, base) || same(here, there)) {
        if (there)
            merged.append(*there);
        count.added += !here && there;
        count.changed += here && !same(here, there);
    } else if (same(there, base) || !there) {
        if (here)
            merged.append(*here);
    } else if (!here) {
        merged.append(*there); // deleted here, changed there: that change is not thrown away
        ++count.added;
    } else {
        merged.append(*here);
        WebsiteProfile other = *there;
        other.name = otherCopyName(other.name);
        otherVersions.append(other);
        ++count.added;
    }
}

} // namespace

QString otherCopyName(const QString &name)
{
    return name + QStringLiteral(" (from another copy)");
}

WalletContent merge(const WalletContent &base, const WalletContent &here, const WalletContent &there, Count *count)
{
    const Profiles baseProfiles(base.profiles), thereProfiles(there.profiles);
    WalletContent merged {here.enrolment == base.enrolment ? there.enrolment : here.enrolment, {}};
    QList<WebsiteProfile> otherVersions;
    *count = {};
    count->masterPasswordChanged = there.enrolment.masterPassword != base.enrolment.masterPassword;
    merged.profiles.reserve(here.profiles.size() + there.profiles.size());
    // This machine's profiles in their order, then those only the other copy has, in its order.
    QHash<Key, int> seen;
    seen.reserve(here.profiles.size());
    for (const WebsiteProfile &p : here.profiles) {
        const Key key {p.url, p.loginName};
        const int n = seen[key]++;
        resolve(baseProfiles.find(key, n), &p, thereProfiles.find(key, n), merged.profiles, otherVersions, *count);
    }
    QHash<Key, int> seenThere;
    for (const WebsiteProfile &p : there.profiles) {
        const Key key {p.url, p.loginName};
        const int n = seenThere[key]++;
        if (n >= seen.value(key))
            resolve(baseProfiles.find(key, n), nullptr, &p, merged.profiles, otherVersions, *count);
    }
    merged.profiles += otherVersions;
    // Nothing changed here: the other copy is taken as it is, its order too, so that two machines never write back
    // and forth over the order alone.
    return here == base ? there : merged;
}

} // namespace walletmerge
