// Memory of the main window with its five account tabs, measured over the whole process tree: this process and
// every helper process of the web engine below it (zygote, renderers, utilities), as proportional set size from
// /proc/<pid>/smaps_rollup. First after the window has opened with the start page in every tab, then after five
// profiles of one local site have been opened in the five tabs, each in its own session, and once more after the
// five pages have been closed.
// Run under a display: xvfb-run -a -s "-screen 0 1600x1200x24" build/bench/memory_bench
#include "mainwindowharness.h"
#include "pageserver.h"

#include <QApplication>
#include <QDir>

#include <cstdio>
#include <unistd.h>

namespace {

const QByteArray kLogin = R"(<html><head><title>Sign in</title></head><body>
<form method="post" action="/signin"><input type="text" name="user"><input type="password" name="pass">
<input type="submit" value="Sign in"></form></body></html>)";

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Every process below (and including) root, with its name and proportional set size in KiB.
QList<std::tuple<int, QByteArray, qint64>> processTree(int root)
{
    QHash<int, int> parents;
    QHash<int, QByteArray> names;
    for (const QString &entry : QDir("/proc").entryList(QDir::Dirs)) {
        const QByteArray stat = readFile("/proc/" + entry + "/stat");
        const int pid = entry.toInt();
        if (pid <= 0 || stat.isEmpty())
            continue;
        // "pid (name) state ppid ...": the name may hold blanks and parentheses.
        const qsizetype close = stat.lastIndexOf(')');
        names[pid] = stat.mid(stat.indexOf('(') + 1, close - stat.indexOf('(') - 1);
        parents[pid] = stat.mid(close + 2).split(' ').value(1).toInt();
    }
    QList<int> tree {root};
    for (qsizetype i = 0; i < tree.size(); ++i) {
        for (auto it = parents.cbegin(); it != parents.cend(); ++it)
            if (it.value() == tree[i])
                tree.append(it.key());
    }
    QList<std::tuple<int, QByteArray, qint64>> result;
    for (int pid : tree) {
        qint64 pss = 0;
        for (const QByteArray &line : readFile(QStringLiteral("/proc/%1/smaps_rollup").arg(pid)).split('\n'))
            if (line.startsWith("Pss:"))
                pss = line.mid(4).trimmed().split(' ').value(0).toLongLong();
        result.append({pid, names.value(pid), pss});
    }
    return result;
}

double measure(const char *when)
{
    QTest::qWait(4000); // renderers settle after their pages have loaded
    qint64 total = 0;
    std::printf("%s:\n", when);
    for (const auto &[pid, name, pss] : processTree(int(::getpid()))) {
        std::printf("  %7d  %-24s %8.1f MiB\n", pid, name.constData(), pss / 1024.0);
        total += pss;
    }
    std::printf("  whole tree %.1f MiB\n", total / 1024.0);
    return total / 1024.0;
}

} // namespace

int main(int argc, char **argv)
{
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsEmpty("VAULTRY_PROGRAM_DIR"))
        qputenv("VAULTRY_PROGRAM_DIR", QFile::encodeName(QCoreApplication::applicationDirPath() + "/../bin"));
    PageServer site;
    site.setPage("/login", kLogin);
    MainWindowHarness h;
    h.open();
    const double start = measure("main window, start page in every tab");
    for (int t = 0; t < AccountTabs::kTabCount; ++t) {
        h.selectTab(t + 1);
        h.tabs().openProfile(site.url("/login"), QStringLiteral("user%1").arg(t), QStringLiteral("secret"));
        if (!h.loaded(t, site.url("/login"))) {
            std::fprintf(stderr, "memory_bench: the login page did not load in tab %d\n", t + 1);
            return 1;
        }
    }
    const double five = measure("five profiles of one site in the five tabs");
    for (int t = 0; t < AccountTabs::kTabCount; ++t) {
        h.selectTab(t + 1);
        h.tabs().closePage();
    }
    measure("the five pages closed again (their renderers end)");
    std::printf("tabs_pss_mib: %.0f %.0f\n", start, five);
    return 0;
}
