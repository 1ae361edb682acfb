// libFuzzer target for reading vy.bdb, checked against a plain reference reading. The first input byte picks what the
// rest is: odd, the file's bytes as they are (mostly stopped by the cipher's length check or the header); even, a
// plaintext that is enciphered under the database key first, so that mutations reach the header and record reader.
// What opens must lay out and read back to the same content.
#include "aescipher.h"
#include "cp1252.h"
#include "profilestore.h"
#include "walletlayout.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

const QString &folder()
{
    static QTemporaryDir dir;
    static const QString path = dir.path();
    return path;
}

AesCipher &cipher()
{
    static AesCipher c = [] {
        AesCipher r;
        ByteArray key(32, 0);
        const char phrase[] = "kex7vold4am9";
        std::copy(phrase, phrase + 12, key.begin());
        r.setKey(key, 128);
        return r;
    }();
    return c;
}

ByteArray encipher(const std::uint8_t *data, std::size_t size)
{
    ByteArray ciphertext;
    cipher().encrypt(ByteArray(data, data + size), ciphertext, AesCipher::Framing::ZeroFilled);
    return ciphertext;
}

// The reading done the plain way, as reference: the whole plaintext as text, split at the record separators, each
// piece split at the field separators.
struct Reference
{
    bool readable = false;
    Enrolment enrolment;
    QList<WebsiteProfile> profiles;
};

Reference referenceRead(const ByteArray &file)
{
    Reference r;
    ByteArray plain;
    if (file.empty() || !cipher().decrypt(file, plain, AesCipher::Framing::ZeroFilled))
        return r;
    const QString text = QString::fromStdU16String(cp1252::toUtf16(plain));
    if (text.size() < 3000)
        return r;
    const QString fieldSep = QString::fromUtf16(u"9\0", 2);
    const QString recordSep = QString::fromUtf16(u"2\0"
                                                 u"5\0"
                                                 u"5\0",
                                                 6);
    const QStringList head = text.left(52).split(fieldSep);
    if (head.size() < 3)
        return r;
    r.readable = true;
    r.enrolment = {head[0], head[1], text.mid(52, 2948)};
    for (const QString &piece : text.mid(3000).split(recordSep)) {
        const QStringList f = piece.split(fieldSep);
        if (f.size() == 6)
            r.profiles.append({f[1], f[2], f[3], f[4], f[5], f[0] == QLatin1String("1")});
    }
    return r;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString &dir = folder();
    if (size == 0)
        return 0;
    ByteArray file;
    if (data[0] & 1)
        file.assign(data + 1, data + size);
    else if (size > 1)
        file = encipher(data + 1, size - 1);

    QFile::remove(dir + "/vy.bdb");
    {
        QFile out(dir + "/vy.bdb");
        if (!out.open(QIODevice::WriteOnly))
            std::abort();
        out.write(reinterpret_cast<const char *>(file.data()), static_cast<qint64>(file.size()));
    }

    ProfileStore db(dir);
    const bool opened = db.open();
    const Reference expected = referenceRead(file);
    if (opened != expected.readable)
        std::abort();
    if (!opened) {
        if (!db.profiles().isEmpty())
            std::abort();
        return 0;
    }
    if (db.enrolment() != expected.enrolment || db.profiles() != expected.profiles)
        std::abort();
    if (db.enrolment().trainingText.size() != 2948)
        std::abort();
    for (const WebsiteProfile &p : db.profiles())
        (void)db.thumbPath(p);

    // Writing what was read and reading it again gives the same (in memory: a file save would sync the disk).
    const WalletContent content {db.enrolment(), db.profiles()};
    const ByteArray plain = walletlayout::build(content);
    WalletContent again;
    if (!walletlayout::parse(plain.data(), plain.size(), &again) || again != content)
        std::abort();
    return 0;
}
