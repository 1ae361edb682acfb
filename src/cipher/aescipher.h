#pragma once

#include "bytearray.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

// AES: Rijndael with 128-bit blocks and 128-, 192- or 256-bit keys, table driven, with the framings of whole arrays
// and files, each block enciphered on its own. Standard library only.
// Whatever can fail returns false and, when error is given, says why in the text a caller shows; the cipher shows
// nothing itself. A refusal changes nothing.
class AesCipher
{
public:
    // ZeroFilled: the last block filled up with zero bytes (nothing added to whole blocks). LengthByte: always one
    // block more or less, its last byte the length of the content in the last block (0 to 15).
    enum class Framing { ZeroFilled, LengthByte };

    AesCipher();

    // keyBits 128, 192 or 256; the key's first keyBits / 8 bytes are used.
    bool setKey(const ByteArray &key, std::int32_t keyBits, std::string *error = nullptr);
    // The pass phrase in code page 1252 (see cp1252.h), zero bytes up to 32.
    bool setKeyFromPassPhrase(const std::u16string &passPhrase, std::int32_t keyBits, std::string *error = nullptr);

    // One block from offset `from` of `in` to offset `to` of `out`; both must hold the whole block there.
    bool encryptBlock(const ByteArray &in, std::int32_t from, ByteArray &out, std::int32_t to,
                      std::string *error = nullptr) const;
    bool decryptBlock(const ByteArray &in, std::int32_t from, ByteArray &out, std::int32_t to,
                      std::string *error = nullptr) const;

    // Whole arrays, which must not be empty; input and output may be the same array.
    bool encrypt(const ByteArray &plaintext, ByteArray &ciphertext, Framing framing,
                 std::string *error = nullptr) const;
    // A length byte of 16 or more (a wrong key) fails with a warning, yet every deciphered byte is given back.
    bool decrypt(const ByteArray &ciphertext, ByteArray &plaintext, Framing framing,
                 std::string *error = nullptr) const;

    // Files in the length-byte framing. A missing or unreadable input creates no output, nor does an output that is
    // the input itself (opening it would empty it first). A wrong length byte writes every byte and fails as above.
    bool encryptFile(const std::filesystem::path &plaintextFile, const std::filesystem::path &ciphertextFile,
                     std::string *error = nullptr) const;
    bool decryptFile(const std::filesystem::path &ciphertextFile, const std::filesystem::path &plaintextFile,
                     std::string *error = nullptr) const;

private:
    // The rounds on 16 bytes that the caller has checked; in and out may be the same bytes.
    void encryptBytes(const std::uint8_t *in, std::uint8_t *out) const;
    void decryptBytes(const std::uint8_t *in, std::uint8_t *out) const;
    void makeDecryptionKey();

    std::array<std::uint32_t, 256> m_encTable0 {}, m_encTable1 {}, m_encTable2 {}, m_encTable3 {}, m_encSBox {};
    std::array<std::uint32_t, 256> m_decTable0 {}, m_decTable1 {}, m_decTable2 {}, m_decTable3 {}, m_decSBox {};
    std::array<std::uint32_t, 10> m_roundConstants {};
    std::int32_t m_rounds = 0;
    std::array<std::uint32_t, 60> m_encKey {};
    std::array<std::uint32_t, 60> m_decKey {};
};
