#include "cp1252.h"

#include <array>

namespace cp1252 {

namespace {

// Characters of bytes 0x80..0x9F. The five bytes the code page leaves unassigned map to the C1 control
// of the same value, so that every byte survives a round trip.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr char16_t byteToChar(std::uint8_t b)
{
    return (b >= 0x80 && b <= 0x9F) ? kHighControls[b - 0x80] : char16_t(b);
}

// The byte of one UTF-16 code unit, or -1 when the code page has none.
int charToByte(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == c)
            return int(0x80 + i);
    }
    return -1;
}

bool isHighSurrogate(char16_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}
bool isLowSurrogate(char16_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

} // namespace

std::vector<std::uint8_t> fromUtf16(std::u16string_view text)
{
    std::vector<std::uint8_t> bytes;
    bytes.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int b = charToByte(text[i]);
        if (b >= 0) {
            bytes.push_back(std::uint8_t(b));
            continue;
        }
        // A character outside the basic plane is one character, so one '?'.
        if (isHighSurrogate(text[i]) && i + 1 < text.size() && isLowSurrogate(text[i + 1]))
            ++i;
        bytes.push_back('?');
    }
    return bytes;
}

std::u16string toUtf16(const std::uint8_t *bytes, std::size_t size)
{
    std::u16string text;
    text.reserve(size);
    for (std::size_t i = 0; i < size; ++i)
        text.push_back(byteToChar(bytes[i]));
    return text;
}

bool canEncode(std::u16string_view text)
{
    for (char16_t c : text) {
        if (charToByte(c) < 0)
            return false;
    }
    return true;
}

} // namespace cp1252
