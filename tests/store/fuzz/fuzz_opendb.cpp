// libFuzzer target for reading vy.bdb. The first input byte picks what the rest is: odd, the file's bytes as they
// are (mostly stopped by the cipher's length check or the header); even, a plaintext that is enciphered under the
// database key first, so that mutations reach the header and record reader. A file that opens must save and open
// again to the same content.
#include "clsagentdb.h"

#include <QFile>
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

ByteArray encipher(const std::uint8_t *data, std::size_t size)
{
    static clsRijndael cipher = [] {
        clsRijndael c;
        ByteArray key(32, 0);
        const char phrase[] = "kex7vold4am9";
        std::copy(phrase, phrase + 12, key.begin());
        c.SetCipherKey(key, 128);
        return c;
    }();
    ByteArray ciphertext;
    cipher.ArrayEncrypt(ByteArray(data, data + size), ciphertext, 0);
    return ciphertext;
}

bool sameContent(const clsAgentDB &a, const clsAgentDB &b)
{
    return a.TYMUserID == b.TYMUserID && a.TYMMasterPassword == b.TYMMasterPassword &&
        a.TYMTrainData == b.TYMTrainData && a.Profiles() == b.Profiles();
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

    clsAgentDB db(dir, [](const QString &) {});
    if (!db.OpenDB()) {
        if (db.WebsiteProfileCount() != 0)
            std::abort();
        return 0;
    }
    if (db.TYMTrainData.size() != 2948)
        std::abort();
    for (qint32 i = 0; i < db.WebsiteProfileCount(); ++i)
        (void)db.WPThumbName(i);

    if (!db.SaveDB())
        std::abort();
    clsAgentDB again(dir, [](const QString &) {});
    if (!again.OpenDB() || !sameContent(db, again))
        std::abort();
    return 0;
}
