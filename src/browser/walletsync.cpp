#include "walletsync.h"

#include "messageservice.h"
#include "profileinput.h"
#include "profilestore.h"

#include <QDir>
#include <QFileInfo>
#include <QWidget>

namespace {

constexpr int kSettleMs = 300;

} // namespace

WalletSync::WalletSync(ProfileStore &store, MessageService &messages, QWidget &window)
    : QObject(&window), m_store(store), m_messages(messages), m_window(window)
{
    m_watcher.addPath(QFileInfo(store.walletPath()).path());
    m_settle.setSingleShot(true);
    m_settle.setInterval(kSettleMs);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, &m_settle, qOverload<>(&QTimer::start));
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, &m_settle, qOverload<>(&QTimer::start));
    connect(&m_settle, &QTimer::timeout, this, &WalletSync::check);
    // The store says so for every change it took in, from a save's merge as well.
    store.setMergeListener([this](const walletmerge::Count &count) { merged(count); });
    QTimer::singleShot(0, this, &WalletSync::check);
}

WalletSync::~WalletSync()
{
    m_store.setMergeListener({});
}

void WalletSync::check()
{
    // A replaced file is another file: its watch went with the old one.
    if (QFileInfo::exists(m_store.walletPath()) && !m_watcher.files().contains(m_store.walletPath()))
        m_watcher.addPath(m_store.walletPath());
    if (m_checking)
        return m_settle.start(); // a question is open: look again after it
    m_checking = true;
    QString error;
    if (!m_store.mayHaveChangedOnDisk() || m_store.refresh(&error)) {
        m_offered = false;
        mergeConflictCopies();
    } else {
        emit status(QStringLiteral("vy.bdb on disk cannot be opened; nothing is saved until it can."));
        offerThisVersion(error);
    }
    m_checking = false;
}

void WalletSync::merged(const walletmerge::Count &count)
{
    emit walletChanged(
        QStringLiteral("vy.bdb changed on disk: %1 profiles added, %2 changed").arg(count.added).arg(count.changed));
    // Told once the store's work is done, never in the middle of a save.
    if (count.masterPasswordChanged)
        QTimer::singleShot(0, this, [this] {
            m_messages.show(kApplicationTitle,
                            QStringLiteral("The master password was changed on another machine. Sign in with the "
                                           "new one the next time Vaultry asks for it."),
                            MessageIcon::Information);
        });
}

// Once for each wallet on disk that does not open, and only where the user sees it (not while the wallet is locked).
void WalletSync::offerThisVersion(const QString &error)
{
    if (m_offered || !m_window.isVisible())
        return;
    m_offered = true;
    const QString question = withReason(
        error,
        QStringLiteral("Nothing is saved until it opens. If the master password was changed on another "
                       "machine, lock Vaultry (Ctrl+Shift+L) and sign in with the new one.\r\nKeep this "
                       "machine's version instead? The file on disk is then kept aside under a new name, and "
                       "this machine's wallet is saved. No waits until it opens."));
    if (m_messages.show(kApplicationTitle, question, MessageIcon::Question, MessageButtons::YesNo) !=
        MessageAnswer::Yes)
        return;
    QString failure;
    if (m_store.keepThisVersion(&failure))
        emit status(QStringLiteral("This machine's wallet was saved; the other file was kept as %1.")
                        .arg(QFileInfo(m_store.keptUnreadableWallet()).fileName()));
    else
        m_messages.show(kApplicationTitle, withReason(kUpdateDatabaseFailed, failure), MessageIcon::Critical);
}

void WalletSync::mergeConflictCopies()
{
    QStringList moved;
    QString error;
    const bool done = m_store.mergeConflictCopies(&moved, &error);
    if (!moved.isEmpty())
        m_messages.show(kApplicationTitle,
                        QStringLiteral("Conflict copies of vy.bdb that a sync tool left were merged into the wallet "
                                       "and moved into the folder conflicts-merged: %1")
                            .arg(moved.join(QStringLiteral(", "))),
                        MessageIcon::Information);
    if (!done)
        emit status(QStringLiteral("A conflict copy of vy.bdb could not be merged in or moved."));
}
