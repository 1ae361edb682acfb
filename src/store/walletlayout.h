#pragma once

#include "bytearray.h"
#include "websiteprofile.h"

#include <QList>
#include <QString>

#include <cstddef>
#include <cstdint>

// Everything vy.bdb holds.
struct WalletContent
{
    Enrolment enrolment;
    QList<WebsiteProfile> profiles;

    bool operator==(const WalletContent &) const = default;
};

// The plaintext of vy.bdb: a 3000-byte header (user name, master password, training text) followed by one record
// per profile. Fields are separated by "9" NUL and records ended by "2" NUL "5" NUL "5" NUL; one byte per character
// in code page 1252.
namespace walletlayout {

inline constexpr int HeaderSize = 3000;
// The user name and master password with their separators live in the first 52 bytes, the training text after them.
inline constexpr int CredentialsSize = 52;
inline constexpr int TrainingTextSize = HeaderSize - CredentialsSize;

// Lays out the plaintext. Texts longer than their places in the header are cut, as the header is fixed in size.
ByteArray build(const WalletContent &content);

// Reads a deciphered plaintext (fill bytes included). False when it is shorter than the header or the header holds
// fewer than two field separators in its first 52 bytes. Records with other than six fields are skipped.
bool parse(const std::uint8_t *data, std::size_t size, WalletContent *content);

} // namespace walletlayout
