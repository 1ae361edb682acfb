#include "singleinstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

QString instanceName(const QString &programFolder)
{
    const QString folder = QFileInfo(programFolder).canonicalFilePath();
    const QByteArray hash =
        QCryptographicHash::hash((folder.isEmpty() ? programFolder : folder).toUtf8(), QCryptographicHash::Sha256);
    return QStringLiteral("vaultry-%1-%2").arg(uint(getuid())).arg(QString::fromLatin1(hash.toHex().left(16)));
}

} // namespace

SingleInstance::SingleInstance(const QString &programFolder)
    : m_serverName(instanceName(programFolder)), m_lockPath(QDir(programFolder).filePath(QStringLiteral(".vy.lock")))
{
}

SingleInstance::~SingleInstance()
{
    m_server.reset();
    if (m_lockFd >= 0)
        ::close(m_lockFd);
}

bool SingleInstance::acquire()
{
    // Owner-only, so that no other user can open it to take the lock first; never through a link; not inherited by
    // the web engine's helper processes, which may outlive the program for a moment.
    m_lockFd = ::open(QFile::encodeName(m_lockPath).constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (m_lockFd >= 0) {
        if (::flock(m_lockFd, LOCK_EX | LOCK_NB) == 0) {
            listen();
            return true;
        }
        const bool held = errno == EWOULDBLOCK;
        ::close(m_lockFd);
        m_lockFd = -1;
        if (held)
            return false;
    }
    // The folder takes no lock (read-only, or a file system without locks): the socket alone decides.
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
