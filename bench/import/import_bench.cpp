// Reads a password export of 10,000 rows from a file and previews its import against a store of 1,000 profiles.
// Last line: import_ms, the median of 7 runs of reading, recognising and previewing.
#include "importpreview.h"
#include "passwordfile.h"
#include "profilestore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRows = 10000;
constexpr int kStored = 1000;

QString site(int i)
{
    return QStringLiteral("https://accounts.site%1.example/login?continue=%2").arg(i).arg(i * 7919 % 100000);
}

// A newer Chromium-based browser's layout with a note column; every tenth note spans lines and holds quotes and
// commas; a few rows repeat others, a stored profile or lack a password, so that every branch of the preview runs.
QByteArray exportOf(int rows)
{
    QByteArray out = "\xEF\xBB\xBFname,url,username,password,note\r\n";
    for (int i = 0; i < rows; ++i) {
        const int s = i % 97 == 0 ? i - 1 : i;
        const QString note = i % 10 == 0 ? QStringLiteral("\"Security question: \"\"first pet\"\", answer\r\nRex\"")
                                         : QStringLiteral("");
        const QString password = i % 101 == 0 ? QString() : QStringLiteral("Pw-%1-x7Qz!rT9").arg(i * 31337);
        out += QStringLiteral("Site %1,%2,user%3@mail.example,%4,%5\r\n")
                   .arg(s)
                   .arg(site(s))
                   .arg(s)
                   .arg(password, note)
                   .toUtf8();
    }
    return out;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("passwords.csv"));
    QFile file(path);
    const QByteArray bytes = exportOf(kRows);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return 1;
    file.close();
    QList<WebsiteProfile> profiles;
    for (int i = 0; i < kStored; ++i)
        profiles.append({QStringLiteral("Stored %1").arg(i), site(i * 20),
                         QStringLiteral("user%1@mail.example").arg(i * 20), QStringLiteral("pw"), QString(), false});
    ProfileStore stored(folder.path());
    if (!stored.add(profiles))
        return 1;

    std::vector<double> reads, previews, totals;
    qsizetype added = 0, skipped = 0;
    for (int run = 0; run < 7; ++run) {
        QElapsedTimer t;
        t.start();
        PasswordFile read;
        if (!readPasswordFile(path, &read) || read.rows.size() != kRows)
            return 1;
        const double readMs = t.nsecsElapsed() / 1e6;
        const ImportPreview preview = previewImport(read, stored);
        const double totalMs = t.nsecsElapsed() / 1e6;
        reads.push_back(readMs);
        previews.push_back(totalMs - readMs);
        totals.push_back(totalMs);
        added = preview.profiles.size();
        skipped = preview.skipped.size();
    }
    const auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    std::printf("rows: %d (%lld bytes), stored profiles: %d\n", kRows, static_cast<long long>(bytes.size()), kStored);
    std::printf("added: %lld, skipped: %lld\n", static_cast<long long>(added), static_cast<long long>(skipped));
    std::printf("read_ms: %.1f\npreview_ms: %.1f\n", median(reads), median(previews));
    std::printf("import_ms: %.1f\n", median(totals));
    return 0;
}
