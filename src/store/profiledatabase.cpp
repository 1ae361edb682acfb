// Reading and writing vy.bdb.
#include "clsagentdb.h"

#include "dblayout.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

#include <cstdio>

namespace {

// The database's fixed pass phrase, in code page 1252, filled with zeros to 32 bytes; 128-bit keys use the first 16.
ByteArray databaseKey()
{
    const char phrase[] = "kex7vold4am9";
    ByteArray key(32, 0);
    std::copy(phrase, phrase + sizeof(phrase) - 1, key.begin());
    return key;
}

constexpr std::int32_t KeyBits = 128;

// Renames the entry itself, a link included (QFile::rename refuses a link that points nowhere).
bool renameEntry(const QString &from, const QString &to)
{
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

} // namespace

bool clsAgentDB::EncryptDB(ByteArray &bytes)
{
    Cipher->SetCipherKey(databaseKey(), KeyBits);
    ByteArray ciphertext;
    Cipher->ArrayEncrypt(bytes, ciphertext, 0);
    bytes = std::move(ciphertext);
    return true;
}

bool clsAgentDB::DecryptDB(ByteArray &bytes)
{
    Cipher->SetCipherKey(databaseKey(), KeyBits);
    ByteArray plaintext;
    if (Cipher->ArrayDecrypt(plaintext, bytes, 0) != 0)
        return false;
    bytes = std::move(plaintext);
    return true;
}

bool clsAgentDB::OpenDB()
{
    m_profiles = QList<WebsiteProfile>();
    m_foundUnreadable = false;
    m_keepAsidePending = false;
    m_keptUnreadableFile.clear();

    // From here on a file with content that cannot be read is kept: the next save moves it aside rather than
    // replacing it, because it may be the user's only copy of a damaged or foreign database.
    const auto unreadable = [this] {
        m_foundUnreadable = true;
        m_keepAsidePending = true;
        return false;
    };
    // Only a regular file can be a database; a folder or a pipe of that name is none (and a pipe would block). A
    // link is not followed: the wallet is the folder's own file.
    if (QFileInfo(m_dbFile).isSymLink())
        return unreadable();
    if (!QFileInfo(m_dbFile).isFile())
        return false;

    QFile file(m_dbFile);
    if (!file.open(QIODevice::ReadOnly))
        return unreadable();
    ByteArray bytes(static_cast<std::size_t>(file.size()));
    const qint64 read = bytes.empty() ? 0 : file.read(reinterpret_cast<char *>(bytes.data()), file.size());
    const bool complete = read == file.size() && file.atEnd();
    file.close();
    if (!complete)
        return unreadable();
    if (bytes.empty())
        return false;

    if (!DecryptDB(bytes))
        return unreadable();
    std::optional<dblayout::Content> content = dblayout::parse(bytes.data(), bytes.size());
    if (!content)
        return unreadable();

    TYMUserID = std::move(content->userId);
    TYMMasterPassword = std::move(content->masterPassword);
    TYMTrainData = std::move(content->trainData);
    m_profiles = std::move(content->profiles);
    return true;
}

QString clsAgentDB::unusedKeepAsideName() const
{
    const QString base = m_dbFile + QStringLiteral(".unreadable-") +
        QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = base;
    for (int n = 2; QFileInfo::exists(name) || QFileInfo(name).isSymLink(); ++n)
        name = base + QLatin1Char('-') + QString::number(n);
    return name;
}

bool clsAgentDB::SaveDB()
{
    ByteArray bytes = dblayout::build({TYMUserID, TYMMasterPassword, TYMTrainData, m_profiles});
    if (!EncryptDB(bytes))
        return false;

    // A file to keep goes aside first, as itself: QSaveFile writes through a link (replacing the file it points to)
    // and refuses to replace a file the user may not write. A link that appeared since the file was read is kept
    // the same way; the wallet is always written as a regular file of its own.
    const QFileInfo old(m_dbFile);
    m_keepAsidePending = m_keepAsidePending || old.isSymLink();
    QString kept;
    if (m_keepAsidePending && (old.exists() || old.isSymLink())) {
        kept = unusedKeepAsideName();
        if (!renameEntry(m_dbFile, kept))
            return false;
    }
    const auto failed = [&] {
        if (!kept.isEmpty())
            renameEntry(kept, m_dbFile);
        return false;
    };

    // The new content goes to a temporary file beside the old one, which is replaced in one step only when every
    // byte is on disk: a failure or a crash in between leaves the old file as it was.
    // Unbuffered, so that a short write (a full disk) shows in write()'s count: a buffered QSaveFile loses that
    // error at commit and would put a truncated file in place.
    QSaveFile out(m_dbFile);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failed();
    if (!out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        return failed();
    const auto size = static_cast<qint64>(bytes.size());
    if (out.write(reinterpret_cast<const char *>(bytes.data()), size) != size)
        return failed();
    if (!out.commit())
        return failed();
    if (m_keepAsidePending) {
        m_keepAsidePending = false;
        m_keptUnreadableFile = kept;
    }
    return true;
}

void clsAgentDB::RemoveSaveLeftovers() const
{
    // A save cut short by a crash or a kill can leave its temporary file beside vy.bdb: QSaveFile names it after the
    // file with a dot and six random letters. Only regular files of exactly that name are ours.
    const QFileInfo db(m_dbFile);
    const QRegularExpression pattern(
        QStringLiteral("^%1\\.[A-Za-z]{6}$").arg(QRegularExpression::escape(db.fileName())));
    const QFileInfoList entries = QDir(db.path()).entryInfoList({db.fileName() + QStringLiteral(".??????")},
                                                                QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo &entry : entries)
        if (pattern.match(entry.fileName()).hasMatch())
            QFile::remove(entry.filePath());
}
