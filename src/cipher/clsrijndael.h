#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

using ByteArray = std::vector<std::uint8_t>;

// A numbered error raised by the cipher (number 1, description beginning "cRijndael.").
class RijndaelError : public std::runtime_error
{
public:
    RijndaelError(std::int32_t number, const std::string &description)
        : std::runtime_error(description), m_number(number)
    {
    }
    std::int32_t number() const { return m_number; }
    std::string description() const { return what(); }

private:
    std::int32_t m_number;
};

// Rijndael with 128-bit blocks and 128-, 192- or 256-bit keys (AES), table driven,
// with the zero-filled and length-byte framings of whole arrays and files.
// Arrays too short for a 16-byte block at the given offset, and empty arrays, raise std::out_of_range.
class clsRijndael
{
public:
    // Messages the cipher shows itself (OK only, no icon, application title) go through this callback.
    using MessageCallback = std::function<void(const std::string &message)>;

    clsRijndael();

    void SetMessageCallback(MessageCallback callback) { m_message = std::move(callback); }

    std::int32_t SetCipherKey(const ByteArray &pass, std::int32_t KeyBits);
    // The pass phrase is converted with code page 1252 (see cp1252.h).
    std::int32_t SetCipherKeyString(const std::u16string &PassPhrase, std::int32_t KeyBits);

    void BlockEncrypt(const ByteArray &plaintext, ByteArray &ciphertext, std::int32_t p, std::int32_t q) const;
    void BlockDecrypt(ByteArray &plaintext, const ByteArray &ciphertext, std::int32_t p, std::int32_t q) const;

    std::int32_t ArrayEncrypt(const ByteArray &plaintext, ByteArray &ciphertext, std::int32_t appendsize) const;
    std::int32_t ArrayDecrypt(ByteArray &plaintext, const ByteArray &ciphertext, std::int32_t appendsize) const;

    // A missing or unreadable input raises std::filesystem::filesystem_error; no output is created then.
    // So does an output that is the input file itself (opening it would empty the input first).
    std::int32_t FileEncrypt(const std::filesystem::path &PlaintextFileName,
                             const std::filesystem::path &CiphertextFileName) const;
    std::int32_t FileDecrypt(const std::filesystem::path &PlaintextFileName,
                             const std::filesystem::path &CiphertextFileName) const;

private:
    void CreateDecryptKey(std::int32_t Nb);
    void showMessage(const std::string &message) const;

    // The rounds on 16 bytes that the caller has checked; in and out may be the same bytes.
    void encryptBlock(const std::uint8_t *in, std::uint8_t *out) const;
    void decryptBlock(const std::uint8_t *in, std::uint8_t *out) const;

    std::array<std::uint32_t, 256> EncTable0 {}, EncTable1 {}, EncTable2 {}, EncTable3 {}, EncSBox {};
    std::array<std::uint32_t, 256> DecTable0 {}, DecTable1 {}, DecTable2 {}, DecTable3 {}, DecSBox {};
    std::array<std::uint32_t, 10> RoundConst {};
    std::int32_t Rounds = 0;
    std::array<std::uint32_t, 60> EncKey {};
    std::array<std::uint32_t, 60> DecKey {};
    MessageCallback m_message;
};
