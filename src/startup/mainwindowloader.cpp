#include "mainwindowloader.h"

#include "clsagentdb.h"
#include "connectiontest.h"
#include "filedialogservice.h"
#include "frmtympra.h"
#include "keyclock.h"
#include "mainwindowservices.h"
#include "messageservice.h"
#include "modmain.h"
#include "tymcoreengine.h"

#include <QDesktopServices>
#include <QDir>
#include <QGuiApplication>
#include <QLibrary>
#include <QOpenGLContext>
#include <QWidget>

// Qt's own setter of the context that every OpenGL context of the application shares with (exported by Qt GUI);
// the application object sets it at its start when Qt::AA_ShareOpenGLContexts is set by then.
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext *context);

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

// The web engine draws with OpenGL contexts that share with one application-wide context, which the application
// object would have made at its start had the program asked for it then. The sign-in dialog needs none, so it is
// made now, before the engine's libraries load.
void prepareSharedGraphicsContext()
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (QOpenGLContext::globalShareContext())
        return;
    auto *context = new QOpenGLContext(qApp);
    context->setFormat(QSurfaceFormat::defaultFormat());
    if (context->create())
        qt_gl_set_global_share_context(context);
}

} // namespace

BrowserModuleLoad LoadBrowserModule(const QString &programFolder)
{
    prepareSharedGraphicsContext();
    QLibrary library(QDir(programFolder).filePath(BrowserModule::kLibraryName));
    // Kept loaded for the life of the process: the main window's code lives in it.
    auto create = reinterpret_cast<BrowserModule::CreateMainWindow>(library.resolve(BrowserModule::kCreateMainWindow));
    if (!create)
        return {nullptr, library.errorString()};
    return {create, QString()};
}

std::unique_ptr<QWidget> LoadMainWindow(const QString &programFolder, MessageService &messages)
{
    const BrowserModuleLoad module = LoadBrowserModule(programFolder);
    if (!module.create) {
        messages.show(kApplicationTitle,
                      QStringLiteral("The browser part of Vaultry could not be loaded.") + QStringLiteral("\r\n") +
                          module.error,
                      MessageIcon::Critical);
        return nullptr;
    }
    auto *platform = new MainWindowPlatform;
    const MainWindowServices services {*AgentDB,
                                       bAccessGranted,
                                       messages,
                                       platform->files,
                                       platform->connection,
                                       [programFolder, &messages] { LogInAgain(programFolder, messages); },
                                       programFolder,
                                       [](const QUrl &url) {
                                           QDesktopServices::openUrl(url);
                                       }};
    std::unique_ptr<QWidget> window(module.create(&services));
    platform->setParent(window.get());
    return window;
}

} // namespace modMain
