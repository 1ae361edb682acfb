#pragma once

#include "bytearray.h"

#include <QString>

#include <cstddef>
#include <cstdint>

// Conversions between the program's text and code page 1252 bytes, one byte per character.
namespace cp1252text {

// Characters outside the code page become '?'.
ByteArray encode(const QString &text);
QString decode(const std::uint8_t *bytes, std::size_t size);
// True when the text survives the code page unchanged (the wallet stores one byte per character).
bool fits(const QString &text);

} // namespace cp1252text
