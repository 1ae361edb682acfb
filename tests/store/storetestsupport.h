#pragma once

// Builds and reads vy.bdb without the store's own code: plaintext laid out by hand, AES-128-ECB from OpenSSL.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTest>

#include <openssl/evp.h>

#include <csignal>
#include <numeric>
#include <sys/resource.h>

namespace storetest {

// "kex7vold4am9" and four zero bytes.
inline QByteArray keyBytes()
{
    return QByteArray("kex7vold4am9\0\0\0\0", 16);
}

// AES-128-ECB under the database key, whole blocks, no padding.
inline QByteArray aes128Ecb(const QByteArray &in, bool encrypt)
{
    Q_ASSERT(in.size() % 16 == 0);
    const auto bytes = [](const QByteArray &b) {
        return reinterpret_cast<const unsigned char *>(b.constData());
    };
    EVP_CIPHER_CTX *ctx = EVP_CIPHER_CTX_new();
    EVP_CipherInit_ex(ctx, EVP_aes_128_ecb(), nullptr, bytes(keyBytes()), nullptr, encrypt ? 1 : 0);
    EVP_CIPHER_CTX_set_padding(ctx, 0);
    QByteArray out(in.size(), '\0');
    int n = 0;
    EVP_CipherUpdate(ctx, reinterpret_cast<unsigned char *>(out.data()), &n, bytes(in), static_cast<int>(in.size()));
    EVP_CIPHER_CTX_free(ctx);
    Q_ASSERT(n == in.size());
    return out;
}

// Zero fill to whole blocks, then encipher.
inline QByteArray encipher(QByteArray plaintext)
{
    plaintext.append(QByteArray((16 - plaintext.size() % 16) % 16, '\0'));
    return aes128Ecb(plaintext, true);
}

inline QByteArray decipher(const QByteArray &ciphertext)
{
    return aes128Ecb(ciphertext, false);
}

inline const QByteArray FieldSep("9\0", 2);
inline const QByteArray RecordSep("2\0"
                                  "5\0"
                                  "5\0",
                                  6);

// Header: user name, "9" NUL, master password, "9" NUL, spaces up to 52, training text, spaces up to 3000.
inline QByteArray header(const QByteArray &user, const QByteArray &password, const QByteArray &trainData)
{
    QByteArray h(3000, ' ');
    const QByteArray credentials = user + FieldSep + password + FieldSep;
    h.replace(0, credentials.size(), credentials);
    h.replace(52, trainData.size(), trainData);
    return h;
}

// One record from its six raw fields (flag first), joined by the field separator, ended by the record separator.
inline QByteArray record(const QList<QByteArray> &fields)
{
    QByteArray r;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            r += FieldSep;
        r += fields[i];
    }
    return r + RecordSep;
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

// The characters of code page 1252 for bytes 0x80..0x9F; the five unassigned bytes stand for themselves.
inline QString cp1252High()
{
    static const char16_t table[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                       0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                       0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                       0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    return QString::fromUtf16(table, 32);
}

// Every byte 0x00..0xFF in order, and the text the code page makes of them.
inline QByteArray allBytes()
{
    QByteArray b(256, '\0');
    std::iota(b.begin(), b.end(), '\0');
    return b;
}

inline QString allCharacters()
{
    QString s = QString::fromLatin1(allBytes());
    return s.replace(0x80, 32, cp1252High());
}

// While alive, files of this process cannot grow beyond the given size, as on a full disk; writes past it fail
// (the kernel's signal for that is ignored meanwhile). Works for root too.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        m_active = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;
    bool active() const { return m_active; }

private:
    rlimit m_old {};
    void (*m_oldHandler)(int) = nullptr;
    bool m_active = false;
};

} // namespace storetest
