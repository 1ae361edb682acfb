// Reading and writing vy.bdb.
#include "walletfile.h"

#include "aescipher.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

#include <cstdio>

#include <sodium.h>
#include <sys/stat.h>

namespace {

// The wallet's cipher under its fixed pass phrase in code page 1252, filled with zeros to 32 bytes, of which a 128-bit
// key takes the first 16. Set afresh for every use.
AesCipher walletCipher()
{
    const char phrase[] = "kex7vold4am9";
    ByteArray key(32, 0);
    std::copy(phrase, phrase + sizeof(phrase) - 1, key.begin());
    AesCipher cipher;
    cipher.setKey(key, 128);
    return cipher;
}

bool refuse(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

// Renames the entry itself, a link included (QFile::rename refuses a link that points nowhere).
bool renameEntry(const QString &from, const QString &to)
{
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

} // namespace

WalletFile::WalletFile(const QString &path) : m_path(path)
{
    [[maybe_unused]] const int ready = sodium_init(); // for the hash of every file read or written
}

bool WalletFile::readBytes(ByteArray &bytes, bool &unreadable) const
{
    // Only a regular file can be a wallet; a folder or a pipe of that name is none (and a pipe would block). A link
    // is not followed: the wallet is the folder's own file.
    unreadable = QFileInfo(m_path).isSymLink();
    if (unreadable || !QFileInfo(m_path).isFile())
        return false;
    QFile file(m_path);
    unreadable = !file.open(QIODevice::ReadOnly);
    if (unreadable)
        return false;
    bytes.resize(static_cast<std::size_t>(file.size()));
    const qint64 read = bytes.empty() ? 0 : file.read(reinterpret_cast<char *>(bytes.data()), file.size());
    unreadable = read != file.size() || !file.atEnd();
    return !unreadable && !bytes.empty();
}

bool WalletFile::decode(const ByteArray &bytes, WalletContent *content, QString *error) const
{
    std::string cipherError;
    ByteArray plaintext;
    if (!walletCipher().decrypt(bytes, plaintext, AesCipher::Framing::ZeroFilled, &cipherError))
        return refuse(error, QString::fromStdString(cipherError));
    return walletlayout::parse(plaintext.data(), plaintext.size(), content);
}

bool WalletFile::read(WalletContent *content, QString *error)
{
    m_foundUnreadable = false;
    m_keepAsidePending = false;
    m_keptUnreadableFile.clear();
    m_key.reset();
    m_lockedFile.clear();
    m_sealedRefused = false;

    ByteArray bytes;
    bool unreadable = false;
    bool read = readBytes(bytes, unreadable);
    m_known = read ? fingerprint(bytes) : Fingerprint();
    if (read && walletseal::looksSealed(bytes)) {
        walletseal::KeyParameters parameters;
        m_sealedRefused = !walletseal::readHeader(bytes, &parameters, error);
        if (!m_sealedRefused)
            m_lockedFile = std::move(bytes);
        return !m_sealedRefused;
    }
    read = read && decode(bytes, content, error);
    // From here on a file with content that cannot be read is kept: the next write moves it aside rather than
    // replacing it, because it may be the user's only copy of a damaged or foreign wallet.
    m_foundUnreadable = m_keepAsidePending = !read && (unreadable || !bytes.empty());
    return read;
}

bool WalletFile::unlock(const QString &masterPassword, WalletContent *content, QString *error)
{
    walletseal::KeyParameters parameters;
    if (!isLocked() || !walletseal::readHeader(m_lockedFile, &parameters, error))
        return false;
    std::unique_ptr<walletseal::Key> key = walletseal::Key::derive(masterPassword, parameters, error);
    ByteArray described;
    WalletContent opened;
    if (!key || !walletseal::unseal(m_lockedFile, *key, &described) || !decode(described, &opened, error))
        return false;
    *content = std::move(opened);
    m_key = std::move(key);
    m_lockedFile.clear();
    return true;
}

QString WalletFile::unusedKeepAsideName() const
{
    const QString base = m_path + QStringLiteral(".unreadable-") +
        QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = base;
    for (int n = 2; QFileInfo::exists(name) || QFileInfo(name).isSymLink(); ++n)
        name = base + QLatin1Char('-') + QString::number(n);
    return name;
}

// A file to keep goes aside first, as itself: QSaveFile writes through a link (replacing the file it points to) and
// refuses to replace a file the user may not write. A link that appeared since the file was read is kept the same
// way; the wallet is always written as a regular file of its own.
bool WalletFile::keepAside(QString &kept, QString *error)
{
    const QFileInfo old(m_path);
    m_keepAsidePending = m_keepAsidePending || old.isSymLink();
    if (!m_keepAsidePending || (!old.exists() && !old.isSymLink()))
        return true;
    kept = unusedKeepAsideName();
    return renameEntry(m_path, kept) ||
        refuse(error,
               QStringLiteral("%1 cannot be kept aside as %2.")
                   .arg(QDir::toNativeSeparators(m_path), QDir::toNativeSeparators(kept)));
}

bool WalletFile::encode(const WalletContent &content, const walletseal::Key *key, ByteArray &bytes,
                        QString *error) const
{
    std::string cipherError;
    if (!walletCipher().encrypt(walletlayout::build(content), bytes, AesCipher::Framing::ZeroFilled, &cipherError))
        return refuse(error, QString::fromStdString(cipherError));
    if (key)
        bytes = walletseal::seal(bytes, *key);
    return true;
}

bool WalletFile::write(const WalletContent &content, QString *error)
{
    ByteArray bytes;
    return encode(content, m_key.get(), bytes, error) && commit(bytes, error);
}

bool WalletFile::write(const WalletContent &content, std::unique_ptr<walletseal::Key> key, QString *error)
{
    ByteArray bytes;
    if (!encode(content, key.get(), bytes, error) || !commit(bytes, error))
        return false;
    m_key = std::move(key);
    return true;
}

bool WalletFile::commit(const ByteArray &bytes, QString *error)
{
    // Until the sealed wallet is open, what this program holds is not the wallet: writing would replace it.
    if (isLocked() || m_sealedRefused)
        return refuse(error, QStringLiteral("The sealed wallet %1 is not open.").arg(QDir::toNativeSeparators(m_path)));
    QString kept;
    if (!keepAside(kept, error))
        return false;

    // The new content goes to a temporary file beside the old one, which is replaced in one step only when every
    // byte is on disk: a failure or a crash in between leaves the old file as it was.
    // Unbuffered, so that a short write (a full disk) shows in write()'s count: a buffered QSaveFile loses that
    // error at commit and would put a truncated file in place.
    QSaveFile out(m_path);
    const auto size = static_cast<qint64>(bytes.size());
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
        !out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) ||
        out.write(reinterpret_cast<const char *>(bytes.data()), size) != size || !out.commit()) {
        if (!kept.isEmpty())
            renameEntry(kept, m_path);
        return refuse(
            error, QStringLiteral("%1 cannot be written: %2").arg(QDir::toNativeSeparators(m_path), out.errorString()));
    }
    if (m_keepAsidePending) {
        m_keepAsidePending = false;
        m_keptUnreadableFile = kept;
    }
    m_known = fingerprint(bytes);
    return true;
}

std::array<qint64, 4> WalletFile::statNow() const
{
    struct stat info
    {
    };
    if (::lstat(QFile::encodeName(m_path).constData(), &info) != 0)
        return {-1, 0, 0, 0};
    return {info.st_size, qint64(info.st_ino), info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec,
            info.st_ctim.tv_sec * 1000000000LL + info.st_ctim.tv_nsec};
}

WalletFile::Fingerprint WalletFile::fingerprint(const ByteArray &bytes) const
{
    QByteArray hash(crypto_generichash_BYTES, 0);
    crypto_generichash(reinterpret_cast<unsigned char *>(hash.data()), std::size_t(hash.size()), bytes.data(),
                       bytes.size(), nullptr, 0);
    return {statNow(), hash};
}

bool WalletFile::mayHaveChanged() const
{
    return !m_known.hash.isEmpty() && statNow() != m_known.stat;
}

WalletFile::DiskState WalletFile::diskState(const QString &masterPassword, WalletContent *there, QString *error)
{
    ByteArray bytes;
    bool unreadable = false;
    // Nothing there to lose; or a file unreadable from the start, which the write keeps aside anyway. A file that
    // appeared since nothing was found (a sync tool while the user enrols) is merged like a changed one.
    if (m_keepAsidePending || (!readBytes(bytes, unreadable) && !unreadable))
        return DiskState::Unchanged;
    m_onDisk = fingerprint(bytes);
    if (!unreadable && m_onDisk.hash == m_known.hash) {
        m_known = m_onDisk; // touched, not changed
        return DiskState::Unchanged;
    }
    if (!unreadable && openAny(bytes, masterPassword, there))
        return DiskState::Changed;
    refuse(error,
           QStringLiteral("%1 was changed on disk and cannot be opened (damaged, not yet whole, or sealed under "
                          "another master password).")
               .arg(QDir::toNativeSeparators(m_path)));
    return DiskState::Unreadable;
}

bool WalletFile::openAny(const ByteArray &bytes, const QString &masterPassword, WalletContent *content) const
{
    if (!walletseal::looksSealed(bytes))
        return decode(bytes, content, nullptr);
    walletseal::KeyParameters parameters;
    if (!walletseal::readHeader(bytes, &parameters))
        return false;
    // Sealed on another machine under the same password and salt, the held key opens it; else derive anew.
    std::unique_ptr<walletseal::Key> derived;
    if (!m_key || m_key->parameters() != parameters)
        derived = walletseal::Key::derive(masterPassword, parameters);
    const walletseal::Key *key = derived ? derived.get() : m_key.get();
    ByteArray described;
    return key && walletseal::unseal(bytes, *key, &described) && decode(described, content, nullptr);
}

void WalletFile::removeSaveLeftovers() const
{
    // A save cut short by a crash or a kill can leave its temporary file beside vy.bdb: QSaveFile names it after the
    // file with a dot and six random letters. Only regular files of exactly that name are ours.
    const QFileInfo db(m_path);
    const QRegularExpression pattern(
        QStringLiteral("^%1\\.[A-Za-z]{6}$").arg(QRegularExpression::escape(db.fileName())));
    const QFileInfoList entries = QDir(db.path()).entryInfoList({db.fileName() + QStringLiteral(".??????")},
                                                                QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo &entry : entries)
        if (pattern.match(entry.fileName()).hasMatch())
            QFile::remove(entry.filePath());
}
