// The password health check over a wallet of 10,000 profiles: a third with generated passwords of 20 characters, a
// third with passwords people make (a word with digits and a symbol), a sixth with common weak ones, and a sixth
// that reuse one of the others; one profile in ten protected. Every password is rated afresh (a new check, as when
// the main window opens), then once more with the ratings of the first check at hand (a check after an edit).
// Last line: health_ms, the median of 5 fresh checks.
#include "passwordgenerator.h"
#include "passwordhealth.h"

#include <QElapsedTimer>
#include <QRandomGenerator>

#include <algorithm>
#include <cstdio>

namespace {

QList<WebsiteProfile> wallet(int count)
{
    QRandomGenerator random(26);
    const QStringList words {"summer", "Dragon", "monkey", "Sunshine", "football", "Princess", "shadow", "Tigers"};
    const QStringList weak {"password1", "qwerty", "123456", "letmein", "iloveyou", "abc123", "welcome"};
    QList<WebsiteProfile> profiles;
    for (int i = 0; i < count; ++i) {
        QString password;
        switch (i % 6) {
        case 0:
        case 1:
            password = PasswordGenerator::generate(256, PasswordGenerator::kDefaultLength, &random);
            break;
        case 2:
        case 3:
            password = words.at(random.bounded(words.size())) + QString::number(random.bounded(100000)) + "!#$"[i % 3];
            break;
        case 4:
            password = weak.at(random.bounded(weak.size())) + (random.bounded(2) ? QString::number(i % 50) : "");
            break;
        default:
            password = profiles.at(random.bounded(i)).password;
        }
        profiles.append({QStringLiteral("Site %1").arg(i), QStringLiteral("https://site%1.example/login").arg(i),
                         QStringLiteral("user%1").arg(i), password, QString(), i % 10 == 0});
    }
    return profiles;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

} // namespace

int main()
{
    constexpr int kProfiles = 10000;
    const QList<WebsiteProfile> profiles = wallet(kProfiles);
    QList<double> fresh, again;
    PasswordHealth::Report report;
    for (int round = 0; round < 5; ++round) {
        PasswordHealth health;
        QElapsedTimer timer;
        timer.start();
        report = health.check(profiles, true);
        fresh.append(timer.nsecsElapsed() / 1e6);
        timer.restart();
        health.check(profiles, true);
        again.append(timer.nsecsElapsed() / 1e6);
    }
    std::printf("profiles: %d, weak: %d, shared passwords: %d\n", kProfiles, int(report.weak.size()),
                int(report.shared.size()));
    std::printf("check with every rating at hand: %.1f ms\n", median(again));
    std::printf("health_ms: %.0f\n", median(fresh));
    return 0;
}
