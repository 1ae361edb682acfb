// Saving and opening a store of 10,000 profiles, against the floor of reading the file and deciphering it alone.
#include "clsagentdb.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int ProfileCount = 10000;
constexpr int Runs = 5;

QString randomText(QRandomGenerator &random, int minLength, int maxLength)
{
    static const QString alphabet = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
    const int length = minLength + random.bounded(maxLength - minLength + 1);
    QString text;
    text.reserve(length);
    for (int i = 0; i < length; ++i)
        text += alphabet.at(random.bounded(alphabet.size()));
    return text;
}

void fill(clsAgentDB &db)
{
    QRandomGenerator random(42);
    db.TYMUserID = QStringLiteral("benchmark user");
    db.TYMMasterPassword = QStringLiteral("master pass");
    QString train;
    for (int sample = 0; sample < 10; ++sample) {
        for (int n = 0; n < 29; ++n)
            train += QString::number(random.bounded(20, 400)) + QLatin1Char(' ');
        train += QStringLiteral("% ");
    }
    db.TYMTrainData = train;
    for (int i = 0; i < ProfileCount; ++i) {
        const QString site = randomText(random, 5, 16).toLower();
        db.AddWebsiteProfile(random.bounded(4) == 0, randomText(random, 6, 30),
                             QStringLiteral("https://www.") + site + QStringLiteral(".com/account/login?next=") +
                                 randomText(random, 0, 40),
                             randomText(random, 6, 20) + QStringLiteral("@example.org"), randomText(random, 10, 24),
                             random.bounded(3) == 0 ? QString() : site + QStringLiteral(".png"));
    }
}

double median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

template<typename F>
double medianMs(F &&work)
{
    std::vector<double> times;
    for (int run = 0; run < Runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    return median(times);
}

} // namespace

int main()
{
    QTemporaryDir dir;
    clsAgentDB db(dir.path());
    fill(db);

    bool ok = true;
    const double save = medianMs([&] { ok = db.SaveDB() && ok; });

    ByteArray key(32, 0);
    const char phrase[] = "kex7vold4am9";
    std::copy(phrase, phrase + 12, key.begin());
    const auto readAndDecipher = [&] {
        clsRijndael cipher;
        cipher.SetCipherKey(key, 128);
        QFile file(db.DBFile());
        file.open(QIODevice::ReadOnly);
        const QByteArray raw = file.readAll();
        const ByteArray ciphertext(raw.begin(), raw.end());
        ByteArray plaintext;
        ok = cipher.ArrayDecrypt(plaintext, ciphertext, 0) == 0 && ok;
    };

    // OpenDB and the floor take turns, so that both meet the same load on a shared machine. Only OpenDB itself
    // is timed: building and releasing the reading store are not part of it.
    std::vector<double> openTimes;
    std::vector<double> floorTimes;
    for (int run = 0; run < Runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        readAndDecipher();
        floorTimes.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);

        clsAgentDB reader(dir.path());
        timer.start();
        ok = reader.OpenDB() && ok;
        openTimes.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        ok = reader.Profiles() == db.Profiles() && ok;
    }
    const double open = median(openTimes);
    const double floor = median(floorTimes);

    if (!ok) {
        std::fprintf(stderr, "store_bench: saving or opening failed\n");
        return 1;
    }
    std::printf("profiles: %d, file: %lld bytes\n", ProfileCount, static_cast<long long>(QFile(db.DBFile()).size()));
    std::printf("SaveDB: %.2f ms\n", save);
    std::printf("OpenDB: %.2f ms\n", open);
    std::printf("read and decipher (floor): %.2f ms\n", floor);
    std::printf("open_vs_floor: %.2f\n", open / floor);
    return 0;
}
