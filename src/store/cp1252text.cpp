#include "cp1252text.h"

#include "clsagentdb.h"
#include "cp1252.h"

#include <array>
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

} // namespace

namespace cp1252text {

ByteArray encode(const QString &text)
{
    return cp1252::fromUtf16(utf16View(text));
}

QString decode(const std::uint8_t *bytes, std::size_t size)
{
    const auto &table = byteToChar();
    QString text(static_cast<qsizetype>(size), Qt::Uninitialized);
    QChar *out = text.data();
    for (std::size_t i = 0; i < size; ++i)
        out[i] = QChar(table[bytes[i]]);
    return text;
}

} // namespace cp1252text

bool fitsCodePage1252(const QString &text)
{
    return cp1252::canEncode(utf16View(text));
}
