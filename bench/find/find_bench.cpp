// Finds in a list of 10,000 profiles as a user types, one key at a time, into the side bar's list (a real combo
// box over the list model, its list open, so that the list's view follows each key), then erases the text again
// down to the whole list.
// Last line: find_ms, the slowest single keystroke of 5 rounds.
#include "profilelist.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    constexpr int kProfiles = 10000;
    QList<WebsiteProfile> profiles;
    for (int i = 0; i < kProfiles; ++i)
        profiles.append({QStringLiteral("Site %1 Account").arg(i),
                         QStringLiteral("https://login.site%1.example/signin?next=%2").arg(i).arg(i * 7919 % 100000),
                         QStringLiteral("user%1").arg(i), QStringLiteral("pw"), QString(), false});
    ProfileListModel model;
    model.setProfiles(profiles);
    QComboBox list;
    list.setModel(&model);
    list.show();
    list.showPopup();

    // Narrows step by step from every profile to one: "s" matches all, "site9" a tenth, "site9999" one address.
    const QString typed = QStringLiteral("site9999");
    double slowest = 0;
    for (int round = 0; round < 5; ++round) {
        QString text;
        auto key = [&](const QString &next, bool print) {
            QElapsedTimer timer;
            timer.start();
            model.setFilter(next);
            list.setCurrentIndex(std::max(0, model.rowOf(kProfiles - 1)));
            app.processEvents();
            const double ms = timer.nsecsElapsed() / 1e6;
            slowest = std::max(slowest, ms);
            if (print)
                std::printf("'%s': %d shown, %.2f ms\n", qPrintable(next), model.rowCount() - 1, ms);
        };
        for (QChar c : typed)
            key(text += c, round == 0);
        while (!text.isEmpty()) {
            text.chop(1);
            key(text, round == 0);
        }
    }
    std::printf("profiles: %d\n", kProfiles);
    std::printf("find_ms: %.1f\n", slowest);
    return 0;
}
