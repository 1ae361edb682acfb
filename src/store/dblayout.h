#pragma once

#include "clsagentdb.h"

#include <QList>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <optional>

// The plaintext of vy.bdb: a 3000-byte header (user name, master password, training text) followed by one record
// per profile. Fields are separated by "9" NUL and records ended by "2" NUL "5" NUL "5" NUL; one byte per character
// in code page 1252.
namespace dblayout {

inline constexpr int HeaderSize = 3000;
// The user name and master password with their separators live in the first 52 bytes, the training text after them.
inline constexpr int CredentialsSize = 52;
inline constexpr int TrainDataSize = HeaderSize - CredentialsSize;

struct Content
{
    QString userId;
    QString masterPassword;
    QString trainData;
    QList<WebsiteProfile> profiles;
};

// Lays out the plaintext. Texts longer than their places in the header are cut, as the header is fixed in size.
ByteArray build(const Content &content);

// Reads a deciphered plaintext (fill bytes included). Nothing when it is shorter than the header or the header
// holds fewer than two field separators in its first 52 bytes. Records with other than six fields are skipped.
std::optional<Content> parse(const std::uint8_t *data, std::size_t size);

} // namespace dblayout
