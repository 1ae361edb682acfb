#include "walletseal.h"

#include <sodium.h>

#include <algorithm>
#include <cstring>

namespace walletseal {

namespace {

constexpr char kMagic[] = "VYSEALED";
constexpr std::size_t kMagicSize = sizeof(kMagic) - 1;
constexpr std::size_t kVersionAt = 8, kAlgorithmAt = 9, kPassesAt = 10, kMemoryAt = 14, kSaltAt = 18, kNonceAt = 34;
constexpr std::size_t kTagSize = crypto_aead_xchacha20poly1305_ietf_ABYTES;
// The smallest described file: the 3000-byte header in whole blocks.
constexpr std::size_t kSmallestDescribed = 3008;
// Beyond these a header is damaged: no version ever wrote them, and deriving would take minutes or all memory.
constexpr std::uint32_t kMostPasses = 64;
constexpr std::uint32_t kMostMemoryKiB = 4 * 1024 * 1024;

static_assert(kNonceAt + crypto_aead_xchacha20poly1305_ietf_NPUBBYTES == kHeaderSize);
static_assert(crypto_pwhash_SALTBYTES == sizeof(KeyParameters::salt));

bool ready()
{
    return sodium_init() >= 0;
}

bool refuse(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

std::uint32_t readNumber(const ByteArray &file, std::size_t at)
{
    return std::uint32_t(file[at]) | std::uint32_t(file[at + 1]) << 8 | std::uint32_t(file[at + 2]) << 16 |
        std::uint32_t(file[at + 3]) << 24;
}

void writeNumber(ByteArray &file, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        file[at + i] = std::uint8_t(value >> (8 * i));
}

} // namespace

Key::Key(const KeyParameters &parameters)
    : m_parameters(parameters),
      m_bytes(static_cast<std::uint8_t *>(sodium_malloc(crypto_aead_xchacha20poly1305_ietf_KEYBYTES)))
{
}

Key::~Key()
{
    sodium_free(m_bytes); // wipes it
}

std::unique_ptr<Key> Key::derive(const QString &masterPassword, const KeyParameters &parameters, QString *error)
{
    if (!ready()) {
        refuse(error, QStringLiteral("The sealing library could not be started."));
        return nullptr;
    }
    std::unique_ptr<Key> key(new Key(parameters));
    QByteArray password = masterPassword.toUtf8();
    const bool derived = key->m_bytes &&
        crypto_pwhash(key->m_bytes, crypto_aead_xchacha20poly1305_ietf_KEYBYTES, password.constData(),
                      std::size_t(password.size()), parameters.salt.data(), parameters.passes,
                      std::size_t(parameters.memoryKiB) * 1024, crypto_pwhash_ALG_ARGON2ID13) == 0;
    sodium_memzero(password.data(), std::size_t(password.size()));
    if (!derived) {
        refuse(error, QStringLiteral("There is not enough memory to derive the wallet's key."));
        return nullptr;
    }
    return key;
}

std::unique_ptr<Key> Key::fresh(const QString &masterPassword, QString *error)
{
    KeyParameters parameters;
    if (ready())
        randombytes_buf(parameters.salt.data(), parameters.salt.size());
    return derive(masterPassword, parameters, error);
}

bool looksSealed(const ByteArray &file)
{
    if (file.size() >= kMagicSize && std::equal(kMagic, kMagic + kMagicSize, file.begin()))
        return true;
    return file.size() >= kHeaderSize + kSmallestDescribed + kTagSize &&
        file.size() % 16 == (kHeaderSize + kTagSize) % 16;
}

bool readHeader(const ByteArray &file, KeyParameters *parameters, QString *error)
{
    const QString damaged = QStringLiteral("The sealed wallet vy.bdb is damaged: its header cannot be read.");
    if (file.size() < kHeaderSize + kTagSize || !std::equal(kMagic, kMagic + kMagicSize, file.begin()))
        return refuse(error, damaged);
    if (file[kVersionAt] > kFormatVersion)
        return refuse(error,
                      QStringLiteral("The wallet vy.bdb was sealed by a newer version of Vaultry (format %1) and "
                                     "cannot be opened by this one.")
                          .arg(file[kVersionAt]));
    parameters->passes = readNumber(file, kPassesAt);
    parameters->memoryKiB = readNumber(file, kMemoryAt);
    std::copy_n(file.begin() + kSaltAt, parameters->salt.size(), parameters->salt.begin());
    if (file[kVersionAt] < 1 || file[kAlgorithmAt] != crypto_pwhash_ALG_ARGON2ID13 ||
        parameters->passes < kLeastPasses || parameters->passes > kMostPasses ||
        parameters->memoryKiB < kLeastMemoryKiB || parameters->memoryKiB > kMostMemoryKiB)
        return refuse(error, damaged);
    return true;
}

ByteArray seal(const ByteArray &described, const Key &key)
{
    ByteArray file(kHeaderSize + described.size() + kTagSize);
    std::copy_n(kMagic, kMagicSize, file.begin());
    file[kVersionAt] = kFormatVersion;
    file[kAlgorithmAt] = crypto_pwhash_ALG_ARGON2ID13;
    writeNumber(file, kPassesAt, key.parameters().passes);
    writeNumber(file, kMemoryAt, key.parameters().memoryKiB);
    std::copy(key.parameters().salt.begin(), key.parameters().salt.end(), file.begin() + kSaltAt);
    randombytes_buf(file.data() + kNonceAt, kHeaderSize - kNonceAt);
    unsigned long long written = 0;
    crypto_aead_xchacha20poly1305_ietf_encrypt(file.data() + kHeaderSize, &written, described.data(), described.size(),
                                               file.data(), kHeaderSize, nullptr, file.data() + kNonceAt, key.bytes());
    return file;
}

bool unseal(const ByteArray &file, const Key &key, ByteArray *described)
{
    if (file.size() < kHeaderSize + kTagSize)
        return false;
    ByteArray opened(file.size() - kHeaderSize - kTagSize);
    unsigned long long read = 0;
    if (crypto_aead_xchacha20poly1305_ietf_decrypt(opened.data(), &read, nullptr, file.data() + kHeaderSize,
                                                   file.size() - kHeaderSize, file.data(), kHeaderSize,
                                                   file.data() + kNonceAt, key.bytes()) != 0)
        return false;
    *described = std::move(opened);
    return true;
}

} // namespace walletseal
