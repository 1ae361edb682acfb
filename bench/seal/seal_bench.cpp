// Opening a sealed wallet as the login does: reading it and deriving the key from the master password (Argon2id
// with the parameters every new seal gets), then unsealing and reading 1,000 profiles.
#include "profilestore.h"
#include "walletseal.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

int main()
{
    QTemporaryDir dir;
    ProfileStore store(dir.path());
    QList<WebsiteProfile> profiles;
    for (int i = 0; i < 1000; ++i)
        profiles.append({QStringLiteral("Site %1").arg(i),
                         QStringLiteral("https://www.site%1.com/login").arg(i),
                         QStringLiteral("user%1@example.org").arg(i),
                         QStringLiteral("password-%1").arg(i),
                         {},
                         false});
    bool ok = store.setEnrolment({QStringLiteral("bench"), QStringLiteral("Master42"), {}}) && store.add(profiles) &&
        store.setSealed(true);

    std::vector<double> times;
    for (int run = 0; run < 5; ++run) {
        ProfileStore reader(dir.path());
        QElapsedTimer timer;
        timer.start();
        ok = reader.open() && reader.isLocked() && reader.unlock(QStringLiteral("Master42")) && ok;
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        ok = reader.profiles() == store.profiles() && ok;
    }
    if (!ok) {
        std::fprintf(stderr, "seal_bench: sealing or opening failed\n");
        return 1;
    }
    std::sort(times.begin(), times.end());
    std::printf("key: Argon2id, %u passes, %u MiB; profiles: 1000\n", walletseal::kPasses,
                walletseal::kMemoryKiB / 1024);
    std::printf("unseal_ms: %.0f\n", times[times.size() / 2]);
    return 0;
}
