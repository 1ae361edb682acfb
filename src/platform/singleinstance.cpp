#include "singleinstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QStandardPaths>

#include <unistd.h>

namespace {

QString instanceName(const QString &programFolder)
{
    const QString folder = QFileInfo(programFolder).canonicalFilePath();
    const QByteArray hash =
        QCryptographicHash::hash((folder.isEmpty() ? programFolder : folder).toUtf8(), QCryptographicHash::Sha256);
    return QStringLiteral("vaultry-%1-%2").arg(uint(getuid())).arg(QString::fromLatin1(hash.toHex().left(16)));
}

// The user's runtime folder where the session has one; else the temporary folder (the name holds the user id).
QString lockFolder()
{
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        if (!runtime.isEmpty())
            return runtime;
    }
    return QDir::tempPath();
}

} // namespace

SingleInstance::SingleInstance(const QString &programFolder)
    : m_serverName(instanceName(programFolder)),
      m_lockPath(QDir(lockFolder()).filePath(m_serverName + QStringLiteral(".lock")))
{
}

SingleInstance::~SingleInstance()
{
    m_server.reset();
    m_lock.reset();
}

bool SingleInstance::acquire()
{
    m_lock = std::make_unique<QLockFile>(m_lockPath);
    // A running copy's lock never goes stale with age; only a lock whose process is gone is taken over.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0)) {
        listen();
        return true;
    }
    if (m_lock->error() == QLockFile::LockFailedError)
        return false;
    // The lock cannot be written at all (no runtime folder): the socket alone decides.
    m_lock.reset();
    if (anotherCopyAnswers())
        return false;
    listen();
    return true;
}

bool SingleInstance::anotherCopyAnswers() const
{
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    return socket.waitForConnected(500);
}

void SingleInstance::listen()
{
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // We hold the lock, so a socket of this name was left by a crashed copy.
    QLocalServer::removeServer(m_serverName);
    m_server->listen(m_serverName);
}
