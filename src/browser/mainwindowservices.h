#pragma once

#include <QString>
#include <QUrl>

#include <functional>

class ConnectionTest;
class FileDialogService;
class MessageService;
class ProfileStore;
class QWidget;
class Settings;

// What the main window works with; passed in so that tests can stand in for each piece.
struct MainWindowServices
{
    ProfileStore &store;
    Settings &settings;
    MessageService &messages;
    FileDialogService &files;
    ConnectionTest &connection;
    // The sign-in in login mode (SignInGate::logIn): true when the user passed.
    std::function<bool()> signIn;
    QString programFolder;
    // Hands an address to the desktop's own browser (pages that want a window of their own).
    std::function<void(const QUrl &)> openExternally;
    // Runs once, just before the web engine starts (when a page is first opened in a tab).
    std::function<void()> engineStarting = {};
    // Seals or unseals the wallet at once, the SealWallet key included (walletsealing::turn), for the Settings window.
    std::function<bool(bool seal, QString *error)> sealWallet = {};
    // A new master password with ten typings of it (SignInGate::newMasterPassword): true when it was saved.
    std::function<bool()> newMasterPassword = {};

    // Whether a profile may be opened, or its password leave the wallet: one with the Tympra flag only after the
    // sign-in passes once more.
    bool mayReveal(bool tympra) const { return !tympra || (signIn && signIn()); }
    // Change master password: the current one with the rhythm check, then the new one; false when either was not
    // passed or cancelled, and then nothing changed.
    bool changeMasterPassword() const { return signIn && signIn() && newMasterPassword && newMasterPassword(); }
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
