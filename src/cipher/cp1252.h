#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Windows code page 1252, both ways, one byte per character.
namespace cp1252 {

// Characters the code page cannot hold become '?' (0x3F).
std::vector<std::uint8_t> fromUtf16(std::u16string_view text);
// Every byte maps to one character; the five unassigned bytes (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to U+0081 etc.
std::u16string toUtf16(const std::uint8_t *bytes, std::size_t size);
inline std::u16string toUtf16(const std::vector<std::uint8_t> &bytes)
{
    return toUtf16(bytes.data(), bytes.size());
}
// True when every character survives a round trip through the code page unchanged.
bool canEncode(std::u16string_view text);

} // namespace cp1252
