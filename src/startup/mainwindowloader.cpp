#include "mainwindowloader.h"

#include "connectiontest.h"
#include "filedialogservice.h"
#include "mainwindowservices.h"
#include "messageservice.h"
#include "signingate.h"
#include "walletsealing.h"

#include <QDesktopServices>
#include <QDir>
#include <QGuiApplication>
#include <QLibrary>
#include <QOpenGLContext>
#include <QWidget>

// Qt's own setter of the context that every OpenGL context of the application shares with (exported by Qt GUI);
// the application object sets it at its start when Qt::AA_ShareOpenGLContexts is set by then.
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext *context);

namespace startup {

namespace {

// The platform services the main window uses, kept as long as the window.
class MainWindowPlatform : public QObject
{
public:
    DialogFileDialogService files;
    SystemConnectionTest connection;
};

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

bool loadBrowserModule(const QString &programFolder, BrowserModule::CreateMainWindow *create, QString *error)
{
    prepareSharedGraphicsContext();
    QLibrary library(QDir(programFolder).filePath(BrowserModule::kLibraryName));
    // Kept loaded for the life of the process: the main window's code lives in it.
    *create = reinterpret_cast<BrowserModule::CreateMainWindow>(library.resolve(BrowserModule::kCreateMainWindow));
    if (!*create && error)
        *error = library.errorString();
    return *create != nullptr;
}

std::unique_ptr<QWidget> loadMainWindow(const QString &programFolder, ProfileStore &store, Settings &settings,
                                        SignInGate &gate, MessageService &messages,
                                        const std::function<void()> &engineStarting)
{
    BrowserModule::CreateMainWindow create = nullptr;
    QString error;
    if (!loadBrowserModule(programFolder, &create, &error)) {
        messages.show(kApplicationTitle,
                      withReason(QStringLiteral("The browser part of Vaultry could not be loaded."), error),
                      MessageIcon::Critical);
        return nullptr;
    }
    auto *platform = new MainWindowPlatform;
    auto logIn = [&gate] {
        return gate.logIn();
    };
    auto openExternally = [](const QUrl &url) {
        QDesktopServices::openUrl(url);
    };
    auto turnSealing = [&store, &settings](bool seal, QString *reason) {
        return walletsealing::turn(store, settings, seal, reason);
    };
    auto newMasterPassword = [&gate] {
        return gate.newMasterPassword();
    };
    const MainWindowServices services {
        store,         settings,       messages,       platform->files, platform->connection, logIn,
        programFolder, openExternally, engineStarting, turnSealing,     newMasterPassword};
    std::unique_ptr<QWidget> window(create(&services));
    platform->setParent(window.get());
    return window;
}

} // namespace startup
