#include "modmain.h"

#include "clsagentdb.h"
#include "frmtympra.h"
#include "keyclock.h"
#include "mainwindowloader.h"
#include "messageservice.h"
#include "processguard.h"
#include "singleinstance.h"
#include "tymcoreengine.h"

#include <QApplication>
#include <QTimer>

namespace modMain {

clsAgentDB *AgentDB = nullptr;
bool bAccessGranted = false;

namespace {

// How long the process stays open to its own children after the main window is shown.
constexpr int kEngineStartMs = 3000;

// The sign-in dialog, fresh for this run, in the mode that the database decides.
void SignIn(const QString &programFolder, MessageService &messages)
{
    const EventKeyClock clock;
    frmTympra dialog(*AgentDB, bAccessGranted, messages, TymcoreEngine::libraryPathIn(programFolder), clock);
    if (AgentDB->OpenDB())
        dialog.LogInTYMProfile();
    else
        dialog.RegisterNewTYMProfile();
    dialog.exec();
}

} // namespace

int Main(int argc, char **argv)
{
    processguard::forbidDumps();
    processguard::dropRemoteDebugging(argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(kApplicationTitle);
    DialogMessageService messages;
    const QString programFolder = QCoreApplication::applicationDirPath();

    SingleInstance instance(programFolder);
    if (!instance.acquire()) {
        messages.show(kApplicationTitle, QStringLiteral("Vaultry is already running!"), MessageIcon::Information);
        return 0;
    }

    AgentDB = new clsAgentDB(programFolder, [&messages](const QString &message) {
        messages.show(kApplicationTitle, message, MessageIcon::NoIcon);
    });
    AgentDB->RemoveSaveLeftovers();
    bAccessGranted = false;
    SignIn(programFolder, messages);

    int exitCode = 0;
    if (bAccessGranted) {
        processguard::setDumpable(true);
        const std::unique_ptr<QWidget> mainWindow = LoadMainWindow(programFolder, messages);
        if (mainWindow) {
            mainWindow->show();
            // Closed again a few seconds later, once the engine has started its helpers.
            QTimer::singleShot(kEngineStartMs, [] { processguard::setDumpable(false); });
            exitCode = QApplication::exec();
        } else {
            processguard::setDumpable(false);
            exitCode = 1;
        }
    }
    delete AgentDB;
    AgentDB = nullptr;
    return exitCode;
}

} // namespace modMain
