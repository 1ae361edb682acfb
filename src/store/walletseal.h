#pragma once

#include "bytearray.h"

#include <QString>

#include <array>
#include <cstdint>
#include <memory>

// A sealed vy.bdb: a header of our own, then the whole described file (enciphered under the fixed key as ever)
// enciphered and authenticated once more (XChaCha20-Poly1305) under a key derived from the master password with
// Argon2id. The header travels as associated data, so a change to any byte of the file is noticed.
//
// Header (little-endian):  0 magic "VYSEALED" | 8 format version | 9 key derivation (2: Argon2id 1.3)
//                          10 passes (4 bytes) | 14 memory in KiB (4 bytes) | 18 salt (16) | 34 nonce (24) | 58 body
namespace walletseal {

inline constexpr std::uint8_t kFormatVersion = 1;
inline constexpr std::size_t kHeaderSize = 58;
// New seals: deriving takes about a quarter of a second on a two-core machine at rest, within a second while other
// work loads it. A later version may raise them, as each file carries its own; none may go below the least.
inline constexpr std::uint32_t kPasses = 3;
inline constexpr std::uint32_t kMemoryKiB = 128 * 1024;
inline constexpr std::uint32_t kLeastPasses = 3;
inline constexpr std::uint32_t kLeastMemoryKiB = 64 * 1024;

// How the key of one sealed file is derived.
struct KeyParameters
{
    std::uint32_t passes = kPasses;
    std::uint32_t memoryKiB = kMemoryKiB;
    std::array<std::uint8_t, 16> salt {};

    bool operator==(const KeyParameters &) const = default;
};

// A derived key in memory of its own: locked against swapping, left out of core files, wiped when freed.
class Key
{
public:
    ~Key();
    Key(const Key &) = delete;
    Key &operator=(const Key &) = delete;

    const KeyParameters &parameters() const { return m_parameters; }
    const std::uint8_t *bytes() const { return m_bytes; }

    // The master password's key under the parameters; null, with the reason, when it cannot be made.
    static std::unique_ptr<Key> derive(const QString &masterPassword, const KeyParameters &parameters,
                                       QString *error = nullptr);
    // The same under a fresh random salt and today's parameters: for sealing anew and for a new master password.
    static std::unique_ptr<Key> fresh(const QString &masterPassword, QString *error = nullptr);

private:
    explicit Key(const KeyParameters &parameters);

    KeyParameters m_parameters;
    std::uint8_t *m_bytes = nullptr;
};

// Whether the file is meant as sealed: it starts with the magic text, or its length is one no described file has
// (never whole blocks) and one a sealed wallet has, so that a damaged magic is told as a damaged header.
bool looksSealed(const ByteArray &file);
// The key parameters of a sealed file; false, with a sentence the user may read, when its header is damaged or of a
// newer version.
bool readHeader(const ByteArray &file, KeyParameters *parameters, QString *error = nullptr);
// The sealed file for the described bytes, under a fresh nonce.
ByteArray seal(const ByteArray &described, const Key &key);
// The described bytes; false when the key does not open the file or any byte of it was changed.
bool unseal(const ByteArray &file, const Key &key, ByteArray *described);

} // namespace walletseal
