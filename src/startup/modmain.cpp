#include "modmain.h"

#include "clsagentdb.h"
#include "frmtympra.h"
#include "keyclock.h"
#include "mainwindowloader.h"
#include "messageservice.h"
#include "singleinstance.h"
#include "tymcoreengine.h"

#include <QApplication>

namespace modMain {

clsAgentDB *AgentDB = nullptr;
bool bAccessGranted = false;

namespace {

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
    bAccessGranted = false;
    SignIn(programFolder, messages);

    int exitCode = 0;
    if (bAccessGranted) {
        const std::unique_ptr<QWidget> mainWindow = LoadMainWindow(programFolder, messages);
        if (mainWindow) {
            mainWindow->show();
            exitCode = QApplication::exec();
        } else {
            exitCode = 1;
        }
    }
    delete AgentDB;
    AgentDB = nullptr;
    return exitCode;
}

} // namespace modMain
