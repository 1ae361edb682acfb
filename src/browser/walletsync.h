#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

class MessageService;
class ProfileStore;
class QWidget;
namespace walletmerge {
struct Count;
}

// Keeps the running program in step with vy.bdb on disk while a sync tool shares the program folder. A watcher on
// the folder (it outlives the replace-by-rename of sync tools and of our own saves, which the store recognises and
// ignores) and on the file lets the store take in a changed wallet and the sync tools' conflict copies. A wallet on
// disk that does not open is written over only when the user chooses to keep this machine's version.
class WalletSync : public QObject
{
    Q_OBJECT
public:
    // Looks once at once (conflict copies left while the program was not running), then at every change.
    WalletSync(ProfileStore &store, MessageService &messages, QWidget &window);
    ~WalletSync() override;

signals:
    // The store's wallet changed, maybe in the middle of a save (connect it queued): the list must follow. status:
    // what the status bar says.
    void walletChanged(const QString &status);
    void status(const QString &text);

private:
    void check();
    void merged(const walletmerge::Count &count);
    void offerThisVersion(const QString &error);
    void mergeConflictCopies();

    ProfileStore &m_store;
    MessageService &m_messages;
    QWidget &m_window;
    QFileSystemWatcher m_watcher;
    QTimer m_settle; // a sync tool writes in steps: look once it has been quiet a moment
    bool m_checking = false;
    bool m_offered = false; // the choice for the wallet on disk that does not open was offered
};
