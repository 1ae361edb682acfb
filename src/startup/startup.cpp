#include "startup.h"

#include "keyclock.h"
#include "mainwindowloader.h"
#include "messageservice.h"
#include "processguard.h"
#include "profilestore.h"
#include "settings.h"
#include "signingate.h"
#include "singleinstance.h"
#include "tymcoreengine.h"
#include "walletsealing.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

namespace startup {

namespace {

// How long the process stays open to its own children once the web engine starts.
constexpr int kEngineStartMs = 3000;

// After a passed sign-in: the main window, until it closes.
int runMainWindow(const QString &programFolder, ProfileStore &store, SignInGate &gate, MessageService &messages)
{
    Settings settings(programFolder);
    QString error;
    if (!walletsealing::followSetting(store, settings, &error))
        messages.show(kApplicationTitle, withReason(QStringLiteral("The wallet could not be sealed."), error),
                      MessageIcon::Warning);
    // The web engine starts its sandboxed helpers when a page is first opened in a tab; their sandbox is set up
    // through files that a non-dumpable process closes to its children too, so the process is open to them for
    // those few seconds, and closed again after.
    const auto engineStarting = [] {
        processguard::setDumpable(true);
        QTimer::singleShot(kEngineStartMs, [] { processguard::setDumpable(false); });
    };
    const std::unique_ptr<QWidget> mainWindow =
        loadMainWindow(programFolder, store, settings, gate, messages, engineStarting);
    if (!mainWindow)
        return 1;
    mainWindow->show();
    return QApplication::exec();
}

} // namespace

int run(int argc, char **argv)
{
    processguard::forbidDumps();
    processguard::dropRemoteDebugging(argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(kApplicationTitle);
    // Lets the desktop match the windows to the installed launcher and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("vaultry"));
    DialogMessageService messages;
    const QString programFolder = QCoreApplication::applicationDirPath();

    SingleInstance instance(programFolder);
    if (!instance.acquire()) {
        messages.show(kApplicationTitle, QStringLiteral("Vaultry is already running!"), MessageIcon::Information);
        return 0;
    }

    ProfileStore store(programFolder);
    store.removeSaveLeftovers();
    QString refusal;
    const bool enrolled = store.open(&refusal);
    // A sealed wallet that cannot be opened here is the user's wallet all the same: no enrolment may replace it.
    if (store.sealedWalletRefused()) {
        messages.show(kApplicationTitle, refusal + QStringLiteral(" It was left as it is."), MessageIcon::Critical);
        return 1;
    }
    // The cipher's refusal of a file that is no whole number of blocks, told as it was always told.
    if (!refusal.isEmpty())
        messages.show(kApplicationTitle, refusal, MessageIcon::NoIcon);

    const EventKeyClock clock;
    SignInGate gate(store, messages, TymcoreEngine::libraryPathIn(programFolder), clock);
    if (!gate.atStart(enrolled))
        return 0;
    return runMainWindow(programFolder, store, gate, messages);
}

} // namespace startup
