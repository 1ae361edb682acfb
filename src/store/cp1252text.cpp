#include "cp1252text.h"

#include "cp1252.h"

#include <array>
#include <cstring>
#include <string_view>

namespace {

std::u16string_view utf16View(const QString &text)
{
    return {reinterpret_cast<const char16_t *>(text.utf16()), static_cast<std::size_t>(text.size())};
}

// One character per byte, taken once from the code page table so that both directions agree.
const std::array<char16_t, 256> &byteToChar()
{
    static const std::array<char16_t, 256> table = [] {
        std::array<std::uint8_t, 256> all {};
        for (std::size_t i = 0; i < all.size(); ++i)
            all[i] = static_cast<std::uint8_t>(i);
        const std::u16string chars = cp1252::toUtf16(all.data(), all.size());
        std::array<char16_t, 256> result {};
        for (std::size_t i = 0; i < result.size() && i < chars.size(); ++i)
            result[i] = chars[i];
        return result;
    }();
    return table;
}

// True when some byte lies in 0x80..0x9F, where the code page differs from Latin-1; eight bytes at a time.
bool hasC1Byte(const std::uint8_t *bytes, std::size_t size)
{
    constexpr std::uint64_t ones = 0x0101010101010101ull;
    constexpr std::uint64_t highBits = 0x8080808080808080ull;
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes + i, 8);
        // A byte of x is zero exactly where the byte's top three bits are 100.
        const std::uint64_t x = (word & 0xE0E0E0E0E0E0E0E0ull) ^ highBits;
        if ((x - ones) & ~x & highBits)
            return true;
    }
    for (; i < size; ++i) {
        if ((bytes[i] & 0xE0) == 0x80)
            return true;
    }
    return false;
}

} // namespace

namespace cp1252text {

ByteArray encode(const QString &text)
{
    return cp1252::fromUtf16(utf16View(text));
}

QString decode(const std::uint8_t *bytes, std::size_t size)
{
    // The code page is Latin-1 except for 0x80..0x9F: convert as Latin-1 and mend those few.
    QString text = QString::fromLatin1(reinterpret_cast<const char *>(bytes), static_cast<qsizetype>(size));
    if (hasC1Byte(bytes, size)) {
        const auto &table = byteToChar();
        QChar *out = text.data();
        for (std::size_t i = 0; i < size; ++i)
            out[i] = QChar(table[bytes[i]]);
    }
    return text;
}

bool fits(const QString &text)
{
    return cp1252::canEncode(utf16View(text));
}

} // namespace cp1252text
