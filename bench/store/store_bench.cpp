// Saving and opening a store of 10,000 profiles, against the floor of reading the file and deciphering it alone; and
// a save that finds another machine's copy on disk, differing in 1,000 profiles, and merges it first.
#include "aescipher.h"
#include "profilestore.h"

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

bool fill(ProfileStore &store)
{
    QRandomGenerator random(42);
    Enrolment enrolment {QStringLiteral("benchmark user"), QStringLiteral("master pass"), QString()};
    for (int sample = 0; sample < 10; ++sample) {
        for (int n = 0; n < 29; ++n)
            enrolment.trainingText += QString::number(random.bounded(20, 400)) + QLatin1Char(' ');
        enrolment.trainingText += QStringLiteral("% ");
    }
    QList<WebsiteProfile> profiles;
    for (int i = 0; i < ProfileCount; ++i) {
        const QString site = randomText(random, 5, 16).toLower();
        profiles.append({randomText(random, 6, 30),
                         QStringLiteral("https://www.") + site + QStringLiteral(".com/account/login?next=") +
                             randomText(random, 0, 40),
                         randomText(random, 6, 20) + QStringLiteral("@example.org"), randomText(random, 10, 24),
                         random.bounded(3) == 0 ? QString() : site + QStringLiteral(".png"), random.bounded(4) == 0});
    }
    return store.setEnrolment(enrolment) && store.add(profiles);
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

// Another machine's copy of the wallet: 500 profiles changed, 250 deleted, 250 added.
bool writeOtherCopy(const ProfileStore &db, const QString &folder)
{
    QList<WebsiteProfile> profiles = db.profiles();
    for (int i = 0; i < 500; ++i)
        profiles[i * 10].password += QStringLiteral("!");
    for (int i = 0; i < 250; ++i) {
        profiles.removeAt(i * 20 + 5);
        profiles.append({QStringLiteral("new %1").arg(i), QStringLiteral("https://new%1.example/").arg(i),
                         QStringLiteral("user"), QStringLiteral("password"), QString(), false});
    }
    ProfileStore other(folder);
    return other.setEnrolment(db.enrolment()) && other.add(profiles);
}

// The save of one new profile when the other copy has replaced vy.bdb: read, opened, merged, written.
double mergeMs(ProfileStore &db, const QString &otherFolder, bool &ok)
{
    QFile original(db.walletPath());
    ok = original.open(QIODevice::ReadOnly) && ok;
    const QByteArray bytes = original.readAll();
    const QString otherWallet = otherFolder + QStringLiteral("/vy.bdb");
    std::vector<double> times;
    for (int run = 0; run < Runs; ++run) {
        QFile::remove(db.walletPath());
        QFile restore(db.walletPath());
        ok = restore.open(QIODevice::WriteOnly) && restore.write(bytes) == bytes.size() && ok;
        restore.close();
        ok = db.open() && QFile::copy(otherWallet, db.walletPath() + QStringLiteral(".other")) && ok;
        ok =
            std::rename(qPrintable(db.walletPath() + QStringLiteral(".other")), qPrintable(db.walletPath())) == 0 && ok;
        QElapsedTimer timer;
        timer.start();
        ok = db.add({QStringLiteral("mine"), QStringLiteral("https://mine.example/"), {}, {}, {}, false}) && ok;
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        ok = db.profiles().size() == ProfileCount + 1 && ok;
    }
    return median(times);
}

} // namespace

int main()
{
    QTemporaryDir dir;
    ProfileStore db(dir.path());
    bool ok = fill(db);
    // A save of the whole wallet, as every change makes one.
    const double save = medianMs([&] { ok = db.setEnrolment(db.enrolment()) && ok; });

    ByteArray key(32, 0);
    const char phrase[] = "kex7vold4am9";
    std::copy(phrase, phrase + 12, key.begin());
    const auto readAndDecipher = [&] {
        AesCipher cipher;
        cipher.setKey(key, 128);
        QFile file(db.walletPath());
        file.open(QIODevice::ReadOnly);
        const QByteArray raw = file.readAll();
        const ByteArray ciphertext(raw.begin(), raw.end());
        ByteArray plaintext;
        ok = cipher.decrypt(ciphertext, plaintext, AesCipher::Framing::ZeroFilled) && ok;
    };

    // Opening and the floor take turns, so that both meet the same load on a shared machine. Only the opening itself
    // is timed: building and releasing the reading store are not part of it.
    std::vector<double> openTimes;
    std::vector<double> floorTimes;
    for (int run = 0; run < Runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        readAndDecipher();
        floorTimes.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);

        ProfileStore reader(dir.path());
        timer.start();
        ok = reader.open() && ok;
        openTimes.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        ok = reader.profiles() == db.profiles() && ok;
    }
    const double open = median(openTimes);
    const double floor = median(floorTimes);
    QTemporaryDir otherFolder;
    ok = writeOtherCopy(db, otherFolder.path()) && ok;
    const double merge = mergeMs(db, otherFolder.path(), ok);

    if (!ok) {
        std::fprintf(stderr, "store_bench: saving or opening failed\n");
        return 1;
    }
    std::printf("profiles: %d, file: %lld bytes\n", ProfileCount,
                static_cast<long long>(QFile(db.walletPath()).size()));
    std::printf("save: %.2f ms\n", save);
    std::printf("open: %.2f ms\n", open);
    std::printf("read and decipher (floor): %.2f ms\n", floor);
    std::printf("open_vs_floor: %.2f\n", open / floor);
    std::printf("merge_ms: %.0f\n", merge);
    return 0;
}
