#include "mainwindowloader.h"

#include "clsagentdb.h"
#include "connectiontest.h"
#include "filedialogservice.h"
#include "frmmain.h"
#include "frmtympra.h"
#include "keyclock.h"
#include "modmain.h"
#include "tymcoreengine.h"

#include <QDesktopServices>

namespace modMain {

namespace {

// The platform services the main window uses, kept as long as the window.
class MainWindowPlatform : public QObject
{
public:
    DialogFileDialogService files;
    SystemConnectionTest connection;
};

// The sign-in dialog in login mode, for a protected profile; it sets bAccessGranted on success.
void LogInAgain(const QString &programFolder, MessageService &messages)
{
    const EventKeyClock clock;
    frmTympra dialog(*AgentDB, bAccessGranted, messages, TymcoreEngine::libraryPathIn(programFolder), clock);
    dialog.LogInTYMProfile();
    dialog.exec();
}

} // namespace

std::unique_ptr<QWidget> LoadMainWindow(const QString &programFolder, MessageService &messages)
{
    auto *platform = new MainWindowPlatform;
    MainWindowServices services {*AgentDB,
                                 bAccessGranted,
                                 messages,
                                 platform->files,
                                 platform->connection,
                                 [programFolder, &messages] { LogInAgain(programFolder, messages); },
                                 programFolder,
                                 [](const QUrl &url) {
                                     QDesktopServices::openUrl(url);
                                 }};
    auto window = std::make_unique<frmMain>(services);
    platform->setParent(window.get());
    return window;
}

} // namespace modMain
