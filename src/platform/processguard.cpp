#include "processguard.h"

#include <QByteArray>
#include <QByteArrayList>

#include <cstdio>
#include <sys/prctl.h>
#include <sys/resource.h>

namespace processguard {

namespace {

// "--remote-debugging-port=9222", "--remote-debugging-pipe", "-remote-debugging-address=..." and the like.
bool isRemoteDebugging(const QByteArray &argument)
{
    return argument.startsWith('-') && argument.mid(argument.startsWith("--") ? 2 : 1).startsWith("remote-debugging");
}

} // namespace

void forbidDumps()
{
    const rlimit none {0, 0};
    ::setrlimit(RLIMIT_CORE, &none);
    setDumpable(false);
}

void setDumpable(bool dumpable)
{
    ::prctl(PR_SET_DUMPABLE, dumpable ? 1 : 0, 0, 0, 0);
}

bool dropRemoteDebugging(int &argc, char **argv)
{
    bool dropped = qEnvironmentVariableIsSet("QTWEBENGINE_REMOTE_DEBUGGING");
    qunsetenv("QTWEBENGINE_REMOTE_DEBUGGING");

    int kept = argc > 0 ? 1 : 0;
    for (int i = kept; i < argc; ++i) {
        if (isRemoteDebugging(argv[i]))
            dropped = true;
        else
            argv[kept++] = argv[i];
    }
    for (int i = kept; i < argc; ++i)
        argv[i] = nullptr;
    argc = kept;

    const QByteArrayList flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS").split(' ');
    QByteArrayList others;
    for (const QByteArray &flag : flags) {
        if (isRemoteDebugging(flag))
            dropped = true;
        else if (!flag.isEmpty())
            others << flag;
    }
    if (qEnvironmentVariableIsSet("QTWEBENGINE_CHROMIUM_FLAGS") && others.size() != flags.size())
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", others.join(' '));

    if (dropped)
        std::fputs("Vaultry: remote debugging of its pages is not allowed; the request is ignored.\n", stderr);
    return dropped;
}

} // namespace processguard
