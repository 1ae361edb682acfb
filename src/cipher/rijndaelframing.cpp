// Pass-phrase keys and the framing of whole arrays and files, in electronic-codebook fashion.
#include "clsrijndael.h"
#include "cp1252.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kBlockSize = 16;
// Files go through one buffer of this size at most (250,000 blocks).
constexpr std::uintmax_t kChunkSize = 4000000;

[[noreturn]] void throwFileError(const std::string &what, const fs::path &path)
{
    const int error = errno;
    throw fs::filesystem_error(what, path, std::error_code(error ? error : EIO, std::generic_category()));
}

// Writing onto the input would empty it before it is read.
void refuseSameFile(const fs::path &input, const fs::path &output, const char *operation)
{
    std::error_code ec;
    if (fs::equivalent(input, output, ec))
        throw fs::filesystem_error(std::string("cRijndael.") + operation + " - input and output are the same file",
                                   input, output, std::make_error_code(std::errc::invalid_argument));
}

std::ifstream openInput(const fs::path &path)
{
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throwFileError("cannot open for reading", path);
    return in;
}

std::ofstream openOutput(const fs::path &path)
{
    errno = 0;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        throwFileError("cannot open for writing", path);
    return out;
}

void readExactly(std::ifstream &in, std::uint8_t *buffer, std::size_t size, const fs::path &path)
{
    errno = 0;
    in.read(reinterpret_cast<char *>(buffer), std::streamsize(size));
    if (std::size_t(in.gcount()) != size)
        throwFileError("cannot read", path);
}

void writeAll(std::ofstream &out, const std::uint8_t *buffer, std::size_t size, const fs::path &path)
{
    errno = 0;
    out.write(reinterpret_cast<const char *>(buffer), std::streamsize(size));
    if (!out)
        throwFileError("cannot write", path);
}

void closeOutput(std::ofstream &out, const fs::path &path)
{
    errno = 0;
    out.close();
    if (!out)
        throwFileError("cannot write", path);
}

} // namespace

std::int32_t clsRijndael::SetCipherKeyString(const std::u16string &PassPhrase, std::int32_t KeyBits)
{
    ByteArray pass = cp1252::fromUtf16(PassPhrase);
    pass.resize(32, 0x00);
    return SetCipherKey(pass, KeyBits);
}

std::int32_t clsRijndael::ArrayEncrypt(const ByteArray &plaintext, ByteArray &ciphertext, std::int32_t appendsize) const
{
    if (plaintext.empty())
        throw std::out_of_range("cRijndael.ArrayEncrypt - plaintext has no elements");

    const std::size_t l = plaintext.size();
    const std::size_t n =
        appendsize != 0 ? kBlockSize * (l / kBlockSize + 1) : (l + kBlockSize - 1) / kBlockSize * kBlockSize;
    // Built aside, so that plaintext and ciphertext may be the same array.
    ByteArray result(n, 0x00);
    if (appendsize != 0)
        result[n - 1] = std::uint8_t(l % kBlockSize);

    std::size_t i = 0;
    for (; i + kBlockSize <= l; i += kBlockSize)
        encryptBlock(plaintext.data() + i, result.data() + i);
    for (std::size_t j = i; j < l; ++j)
        result[j] = plaintext[j];
    if (i != n)
        encryptBlock(result.data() + i, result.data() + i);

    ciphertext = std::move(result);
    return 0;
}

std::int32_t clsRijndael::ArrayDecrypt(ByteArray &plaintext, const ByteArray &ciphertext, std::int32_t appendsize) const
{
    if (ciphertext.empty())
        throw std::out_of_range("cRijndael.ArrayDecrypt - ciphertext has no elements");

    const std::size_t n = ciphertext.size();
    if (n % kBlockSize != 0) {
        showMessage("ciphertext size not a multiple of block size");
        return -1;
    }

    ByteArray result(n);
    for (std::size_t i = 0; i < n; i += kBlockSize)
        decryptBlock(ciphertext.data() + i, result.data() + i);

    std::int32_t status = 0;
    if (appendsize != 0) {
        const std::uint8_t b = result[n - 1];
        if (b >= kBlockSize) {
            showMessage("warning - incorrect length field");
            status = 1;
        } else {
            // L = 0 is the enciphered empty content: give back no bytes, as FileDecrypt does.
            result.resize(n - kBlockSize + b);
        }
    }
    plaintext = std::move(result);
    return status;
}

std::int32_t clsRijndael::FileEncrypt(const fs::path &PlaintextFileName, const fs::path &CiphertextFileName) const
{
    const std::uintmax_t l = fs::file_size(PlaintextFileName);
    std::uintmax_t n = kBlockSize * (l / kBlockSize + 1);
    refuseSameFile(PlaintextFileName, CiphertextFileName, "FileEncrypt");

    std::ifstream in = openInput(PlaintextFileName);
    std::ofstream out = openOutput(CiphertextFileName);

    ByteArray buffer(std::size_t(std::min(n, kChunkSize)));
    std::uintmax_t remaining = l;
    while (n > kChunkSize) {
        readExactly(in, buffer.data(), kChunkSize, PlaintextFileName);
        for (std::size_t i = 0; i < kChunkSize; i += kBlockSize)
            encryptBlock(buffer.data() + i, buffer.data() + i);
        writeAll(out, buffer.data(), kChunkSize, CiphertextFileName);
        n -= kChunkSize;
        remaining -= kChunkSize;
    }

    // Last chunk: the rest of the input, zero bytes, and the length byte.
    std::fill(buffer.begin(), buffer.begin() + std::ptrdiff_t(n), 0x00);
    readExactly(in, buffer.data(), std::size_t(remaining), PlaintextFileName);
    buffer[std::size_t(n) - 1] = std::uint8_t(l % kBlockSize);
    for (std::size_t i = 0; i < n; i += kBlockSize)
        encryptBlock(buffer.data() + i, buffer.data() + i);
    writeAll(out, buffer.data(), std::size_t(n), CiphertextFileName);
    closeOutput(out, CiphertextFileName);
    return 0;
}

std::int32_t clsRijndael::FileDecrypt(const fs::path &PlaintextFileName, const fs::path &CiphertextFileName) const
{
    std::uintmax_t m = fs::file_size(CiphertextFileName);
    if (m == 0 || m % kBlockSize != 0) {
        showMessage("File Size Error - ciphertext file not a multiple of block size");
        return 1;
    }
    refuseSameFile(CiphertextFileName, PlaintextFileName, "FileDecrypt");

    std::ifstream in = openInput(CiphertextFileName);
    std::ofstream out = openOutput(PlaintextFileName);

    ByteArray buffer(std::size_t(std::min(m, kChunkSize)));
    while (m > kChunkSize) {
        readExactly(in, buffer.data(), kChunkSize, CiphertextFileName);
        for (std::size_t i = 0; i < kChunkSize; i += kBlockSize)
            decryptBlock(buffer.data() + i, buffer.data() + i);
        writeAll(out, buffer.data(), kChunkSize, PlaintextFileName);
        m -= kChunkSize;
    }

    const std::size_t last = std::size_t(m);
    readExactly(in, buffer.data(), last, CiphertextFileName);
    for (std::size_t i = 0; i < last; i += kBlockSize)
        decryptBlock(buffer.data() + i, buffer.data() + i);
    const std::uint8_t b = buffer[last - 1];
    std::size_t k = last;
    if (b < kBlockSize)
        k = last - kBlockSize + b;
    else
        showMessage("warning - incorrect length field in decrypted file.\r\nWrong key or keysize?");
    if (k >= 1)
        writeAll(out, buffer.data(), k, PlaintextFileName);
    closeOutput(out, PlaintextFileName);
    return 0;
}
