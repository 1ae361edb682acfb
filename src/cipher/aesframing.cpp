// Pass-phrase keys and the framing of whole arrays and files, in electronic-codebook fashion.
#include "aescipher.h"
#include "cp1252.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kBlockSize = 16;
// Files go through one buffer of this size at most (250,000 blocks).
constexpr std::uintmax_t kChunkSize = 4000000;

bool refuse(std::string *error, const std::string &text)
{
    if (error)
        *error = text;
    return false;
}

// What failed on which file, with the system's reason.
bool refuseFile(std::string *error, const std::string &what, const fs::path &path, int code = errno)
{
    return refuse(error, what + " " + path.string() + ": " + std::strerror(code ? code : EIO));
}

// The file side of a framing: one input read and one output written in chunks, each step reporting its failure.
struct FilePair
{
    const fs::path &inPath;
    const fs::path &outPath;
    std::string *error;
    std::ifstream in;
    std::ofstream out;

    bool open(const char *operation)
    {
        std::error_code ec;
        // Writing onto the input would empty it before it is read.
        if (fs::equivalent(inPath, outPath, ec))
            return refuse(error,
                          std::string("cRijndael.") + operation +
                              " - input and output are the same file: " + inPath.string());
        errno = 0;
        in.open(inPath, std::ios::binary);
        if (!in)
            return refuseFile(error, "cannot open for reading", inPath);
        errno = 0;
        out.open(outPath, std::ios::binary | std::ios::trunc);
        return out ? true : refuseFile(error, "cannot open for writing", outPath);
    }
    bool read(std::uint8_t *buffer, std::size_t size)
    {
        errno = 0;
        in.read(reinterpret_cast<char *>(buffer), std::streamsize(size));
        return std::size_t(in.gcount()) == size || refuseFile(error, "cannot read", inPath);
    }
    bool write(const std::uint8_t *buffer, std::size_t size)
    {
        errno = 0;
        out.write(reinterpret_cast<const char *>(buffer), std::streamsize(size));
        return out || refuseFile(error, "cannot write", outPath);
    }
    bool close()
    {
        errno = 0;
        out.close();
        return out || refuseFile(error, "cannot write", outPath);
    }
    // Whole chunks while more than one is left: read, each block transformed in place, written.
    template<typename Transform>
    bool passChunks(std::uintmax_t &left, ByteArray &buffer, Transform transform)
    {
        for (; left > kChunkSize; left -= kChunkSize) {
            if (!read(buffer.data(), kChunkSize))
                return false;
            for (std::size_t i = 0; i < kChunkSize; i += kBlockSize)
                transform(buffer.data() + i);
            if (!write(buffer.data(), kChunkSize))
                return false;
        }
        return true;
    }
};

bool fileSize(const fs::path &path, std::uintmax_t &size, std::string *error)
{
    std::error_code ec;
    size = fs::file_size(path, ec);
    return !ec || refuseFile(error, "cannot read the size of", path, ec.value());
}

} // namespace

bool AesCipher::setKeyFromPassPhrase(const std::u16string &passPhrase, std::int32_t keyBits, std::string *error)
{
    ByteArray key = cp1252::fromUtf16(passPhrase);
    key.resize(32, 0x00);
    return setKey(key, keyBits, error);
}

bool AesCipher::encrypt(const ByteArray &plaintext, ByteArray &ciphertext, Framing framing, std::string *error) const
{
    if (plaintext.empty())
        return refuse(error, "cRijndael.ArrayEncrypt - plaintext has no elements");

    const bool lengthByte = framing == Framing::LengthByte;
    const std::size_t l = plaintext.size();
    const std::size_t n =
        lengthByte ? kBlockSize * (l / kBlockSize + 1) : (l + kBlockSize - 1) / kBlockSize * kBlockSize;
    // Built aside, so that plaintext and ciphertext may be the same array.
    ByteArray result(n, 0x00);
    if (lengthByte)
        result[n - 1] = std::uint8_t(l % kBlockSize);

    std::size_t i = 0;
    for (; i + kBlockSize <= l; i += kBlockSize)
        encryptBytes(plaintext.data() + i, result.data() + i);
    std::copy(plaintext.begin() + std::ptrdiff_t(i), plaintext.end(), result.begin() + std::ptrdiff_t(i));
    if (i != n)
        encryptBytes(result.data() + i, result.data() + i);

    ciphertext = std::move(result);
    return true;
}

bool AesCipher::decrypt(const ByteArray &ciphertext, ByteArray &plaintext, Framing framing, std::string *error) const
{
    if (ciphertext.empty())
        return refuse(error, "cRijndael.ArrayDecrypt - ciphertext has no elements");
    const std::size_t n = ciphertext.size();
    if (n % kBlockSize != 0)
        return refuse(error, "ciphertext size not a multiple of block size");

    ByteArray result(n);
    for (std::size_t i = 0; i < n; i += kBlockSize)
        decryptBytes(ciphertext.data() + i, result.data() + i);

    bool ok = true;
    if (framing == Framing::LengthByte) {
        const std::uint8_t b = result[n - 1];
        if (b >= kBlockSize)
            ok = refuse(error, "warning - incorrect length field");
        else
            result.resize(n - kBlockSize + b); // L = 0 is the enciphered empty content: no bytes, as from a file
    }
    plaintext = std::move(result);
    return ok;
}

bool AesCipher::encryptFile(const fs::path &plaintextFile, const fs::path &ciphertextFile, std::string *error) const
{
    std::uintmax_t l = 0;
    if (!fileSize(plaintextFile, l, error))
        return false;
    std::uintmax_t n = kBlockSize * (l / kBlockSize + 1);
    FilePair files {plaintextFile, ciphertextFile, error, {}, {}};
    if (!files.open("FileEncrypt"))
        return false;

    ByteArray buffer(std::size_t(std::min(n, kChunkSize)));
    const std::uintmax_t total = n;
    if (!files.passChunks(n, buffer, [this](std::uint8_t *block) { encryptBytes(block, block); }))
        return false;

    // Last chunk: the rest of the input, zero bytes, and the length byte.
    const std::uintmax_t remaining = l - (total - n);
    std::fill(buffer.begin(), buffer.begin() + std::ptrdiff_t(n), 0x00);
    if (!files.read(buffer.data(), std::size_t(remaining)))
        return false;
    buffer[std::size_t(n) - 1] = std::uint8_t(l % kBlockSize);
    for (std::size_t i = 0; i < n; i += kBlockSize)
        encryptBytes(buffer.data() + i, buffer.data() + i);
    return files.write(buffer.data(), std::size_t(n)) && files.close();
}

bool AesCipher::decryptFile(const fs::path &ciphertextFile, const fs::path &plaintextFile, std::string *error) const
{
    std::uintmax_t m = 0;
    if (!fileSize(ciphertextFile, m, error))
        return false;
    if (m == 0 || m % kBlockSize != 0)
        return refuse(error, "File Size Error - ciphertext file not a multiple of block size");
    FilePair files {ciphertextFile, plaintextFile, error, {}, {}};
    if (!files.open("FileDecrypt"))
        return false;

    ByteArray buffer(std::size_t(std::min(m, kChunkSize)));
    if (!files.passChunks(m, buffer, [this](std::uint8_t *block) { decryptBytes(block, block); }))
        return false;

    const std::size_t last = std::size_t(m);
    if (!files.read(buffer.data(), last))
        return false;
    for (std::size_t i = 0; i < last; i += kBlockSize)
        decryptBytes(buffer.data() + i, buffer.data() + i);
    const std::uint8_t b = buffer[last - 1];
    const std::size_t k = b < kBlockSize ? last - kBlockSize + b : last;
    if ((k >= 1 && !files.write(buffer.data(), k)) || !files.close())
        return false;
    return b < kBlockSize ||
        refuse(error, "warning - incorrect length field in decrypted file.\r\nWrong key or keysize?");
}
