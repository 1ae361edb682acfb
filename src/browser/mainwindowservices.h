#pragma once

#include <QString>
#include <QUrl>

#include <functional>

class clsAgentDB;
class ConnectionTest;
class FileDialogService;
class MessageService;
class QWidget;

// What the main window works with; passed in so that tests can stand in for each piece.
struct MainWindowServices
{
    clsAgentDB &db;
    bool &accessGranted;
    MessageService &messages;
    FileDialogService &files;
    ConnectionTest &connection;
    // Runs the sign-in dialog in login mode; it sets accessGranted when the login succeeds.
    std::function<void()> loginCheck;
    QString programFolder;
    // Hands an address to the desktop's own browser (pages that want a window of their own).
    std::function<void(const QUrl &)> openExternally;
};

// The browser module: a shared library beside the program that holds the main window, its browsers and the
// profile dialog, loaded only after a passed sign-in so that the sign-in dialog appears without the web engine.
namespace BrowserModule {
// The library's name in the program folder, without the platform's prefix and suffix (libVaultryBrowser.so here).
inline const QString kLibraryName = QStringLiteral("VaultryBrowser");
// Its one entry point: creates the main window (not yet shown) over the services.
inline constexpr char kCreateMainWindow[] = "vaultryCreateMainWindow";
using CreateMainWindow = QWidget *(*)(const MainWindowServices *services);
} // namespace BrowserModule
