#include "aescipher.h"

#include <bit>
#include <cstring>

namespace {

constexpr std::size_t kBlockSize = 16;

std::uint8_t xtime(std::uint8_t b)
{
    return std::uint8_t((b << 1) ^ ((b & 0x80) ? 0x1B : 0x00));
}

std::uint32_t bytesToWord(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3)
{
    return std::uint32_t(b0) | (std::uint32_t(b1) << 8) | (std::uint32_t(b2) << 16) | (std::uint32_t(b3) << 24);
}

// Words are little-endian: the first byte is the least significant.
inline std::uint32_t loadWord(const std::uint8_t *bytes)
{
    if constexpr (std::endian::native == std::endian::little) {
        std::uint32_t w;
        std::memcpy(&w, bytes, sizeof w);
        return w;
    } else {
        return bytesToWord(bytes[0], bytes[1], bytes[2], bytes[3]);
    }
}

inline void storeWord(std::uint8_t *bytes, std::uint32_t w)
{
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(bytes, &w, sizeof w);
    } else {
        bytes[0] = std::uint8_t(w);
        bytes[1] = std::uint8_t(w >> 8);
        bytes[2] = std::uint8_t(w >> 16);
        bytes[3] = std::uint8_t(w >> 24);
    }
}

inline std::uint32_t byte0(std::uint32_t w)
{
    return w & 0xFF;
}
inline std::uint32_t byte1(std::uint32_t w)
{
    return (w >> 8) & 0xFF;
}
inline std::uint32_t byte2(std::uint32_t w)
{
    return (w >> 16) & 0xFF;
}
inline std::uint32_t byte3(std::uint32_t w)
{
    return w >> 24;
}

std::uint8_t rotl8(std::uint8_t b, int k)
{
    return std::uint8_t((b << k) | (b >> (8 - k)));
}

// Whether the array holds a whole block from offset on.
bool holdsBlock(const ByteArray &bytes, std::int32_t offset)
{
    return offset >= 0 && bytes.size() >= kBlockSize && std::size_t(offset) <= bytes.size() - kBlockSize;
}

bool refuse(std::string *error, const std::string &text)
{
    if (error)
        *error = text;
    return false;
}

} // namespace

AesCipher::AesCipher()
{
    std::array<std::uint8_t, 256> power {};
    std::array<std::uint8_t, 256> log {};
    power[0] = 1;
    power[1] = 3;
    for (int i = 2; i <= 255; ++i)
        power[i] = power[i - 1] ^ xtime(power[i - 1]);
    log[0] = 0;
    log[1] = 0;
    log[3] = 1;
    for (int i = 2; i <= 255; ++i)
        log[power[i]] = std::uint8_t(i);

    auto multiply = [&](std::uint8_t a, std::uint8_t c) -> std::uint8_t {
        if (a == 0 || c == 0)
            return 0;
        return power[(log[a] + log[c]) % 255];
    };
    auto replicate = [](std::uint8_t b) {
        return bytesToWord(b, b, b, b);
    };

    m_encSBox[0] = 0x63636363;
    m_decSBox[0x63] = 0;
    for (int x = 1; x <= 255; ++x) {
        const std::uint8_t y = power[255 - log[x]];
        const std::uint8_t s = y ^ rotl8(y, 1) ^ rotl8(y, 2) ^ rotl8(y, 3) ^ rotl8(y, 4) ^ 0x63;
        m_encSBox[x] = replicate(s);
        m_decSBox[s] = replicate(std::uint8_t(x));
    }

    std::uint8_t r = 1;
    for (int i = 0; i < 10; ++i) {
        m_roundConstants[i] = r;
        r = xtime(r);
    }

    for (int x = 0; x <= 255; ++x) {
        const std::uint8_t s = std::uint8_t(m_encSBox[x]);
        const std::uint8_t t0 = xtime(s), t1 = s, t2 = s, t3 = xtime(s) ^ s;
        m_encTable0[x] = bytesToWord(t0, t1, t2, t3);
        m_encTable1[x] = bytesToWord(t3, t0, t1, t2);
        m_encTable2[x] = bytesToWord(t2, t3, t0, t1);
        m_encTable3[x] = bytesToWord(t1, t2, t3, t0);

        const std::uint8_t d = std::uint8_t(m_decSBox[x]);
        const std::uint8_t u0 = multiply(0x0E, d), u1 = multiply(0x09, d), u2 = multiply(0x0D, d),
                           u3 = multiply(0x0B, d);
        m_decTable0[x] = bytesToWord(u0, u1, u2, u3);
        m_decTable1[x] = bytesToWord(u3, u0, u1, u2);
        m_decTable2[x] = bytesToWord(u2, u3, u0, u1);
        m_decTable3[x] = bytesToWord(u1, u2, u3, u0);
    }
}

bool AesCipher::setKey(const ByteArray &key, std::int32_t keyBits, std::string *error)
{
    if (keyBits != 128 && keyBits != 192 && keyBits != 256)
        return refuse(error, "cRijndael.SetCipherKey - Illegal KeyBits Value");
    const std::int32_t nk = keyBits / 32;
    if (key.size() < std::size_t(4 * nk))
        return refuse(error, "cRijndael.SetCipherKey - key array shorter than the key");

    const std::int32_t rounds = nk + 6;
    for (std::int32_t i = 0; i < nk; ++i)
        m_encKey[i] = loadWord(key.data() + 4 * i);
    for (std::int32_t i = nk; i < 4 * (rounds + 1); ++i) {
        std::uint32_t t = m_encKey[i - 1];
        if (i % nk == 0) {
            t = bytesToWord(std::uint8_t(m_encSBox[byte1(t)]), std::uint8_t(m_encSBox[byte2(t)]),
                            std::uint8_t(m_encSBox[byte3(t)]), std::uint8_t(m_encSBox[byte0(t)])) ^
                m_roundConstants[i / nk - 1];
        } else if (nk == 8 && i % 8 == 4) {
            t = bytesToWord(std::uint8_t(m_encSBox[byte0(t)]), std::uint8_t(m_encSBox[byte1(t)]),
                            std::uint8_t(m_encSBox[byte2(t)]), std::uint8_t(m_encSBox[byte3(t)]));
        }
        m_encKey[i] = m_encKey[i - nk] ^ t;
    }
    m_rounds = rounds;
    makeDecryptionKey();
    return true;
}

void AesCipher::makeDecryptionKey()
{
    constexpr std::int32_t nb = 4; // words per block
    for (std::int32_t r = 0; r <= m_rounds; ++r) {
        for (std::int32_t j = 0; j < nb; ++j)
            m_decKey[r * nb + j] = m_encKey[(m_rounds - r) * nb + j];
    }
    // InvMixColumns on the middle round keys: the equivalent inverse cipher.
    for (std::int32_t j = nb; j < m_rounds * nb; ++j) {
        const std::uint32_t w = m_decKey[j];
        m_decKey[j] = m_decTable0[std::uint8_t(m_encSBox[byte0(w)])] ^ m_decTable1[std::uint8_t(m_encSBox[byte1(w)])] ^
            m_decTable2[std::uint8_t(m_encSBox[byte2(w)])] ^ m_decTable3[std::uint8_t(m_encSBox[byte3(w)])];
    }
}

bool AesCipher::encryptBlock(const ByteArray &in, std::int32_t from, ByteArray &out, std::int32_t to,
                             std::string *error) const
{
    if (!holdsBlock(in, from) || !holdsBlock(out, to))
        return refuse(error, "cRijndael.BlockEncrypt - block outside the array");
    encryptBytes(in.data() + from, out.data() + to);
    return true;
}

bool AesCipher::decryptBlock(const ByteArray &in, std::int32_t from, ByteArray &out, std::int32_t to,
                             std::string *error) const
{
    if (!holdsBlock(in, from) || !holdsBlock(out, to))
        return refuse(error, "cRijndael.BlockDecrypt - block outside the array");
    decryptBytes(in.data() + from, out.data() + to);
    return true;
}

void AesCipher::encryptBytes(const std::uint8_t *in, std::uint8_t *out) const
{
    const std::uint32_t *t0 = m_encTable0.data();
    const std::uint32_t *t1 = m_encTable1.data();
    const std::uint32_t *t2 = m_encTable2.data();
    const std::uint32_t *t3 = m_encTable3.data();
    const std::uint32_t *key = m_encKey.data();

    std::uint32_t x0 = loadWord(in) ^ key[0];
    std::uint32_t x1 = loadWord(in + 4) ^ key[1];
    std::uint32_t x2 = loadWord(in + 8) ^ key[2];
    std::uint32_t x3 = loadWord(in + 12) ^ key[3];
    key += 4;

    for (std::int32_t round = 1; round < m_rounds; ++round, key += 4) {
        const std::uint32_t y0 = t0[byte0(x0)] ^ t1[byte1(x1)] ^ t2[byte2(x2)] ^ t3[byte3(x3)] ^ key[0];
        const std::uint32_t y1 = t0[byte0(x1)] ^ t1[byte1(x2)] ^ t2[byte2(x3)] ^ t3[byte3(x0)] ^ key[1];
        const std::uint32_t y2 = t0[byte0(x2)] ^ t1[byte1(x3)] ^ t2[byte2(x0)] ^ t3[byte3(x1)] ^ key[2];
        const std::uint32_t y3 = t0[byte0(x3)] ^ t1[byte1(x0)] ^ t2[byte2(x1)] ^ t3[byte3(x2)] ^ key[3];
        x0 = y0;
        x1 = y1;
        x2 = y2;
        x3 = y3;
    }

    // Final round: S of each byte, placed by masking the replicated S-box words.
    const std::uint32_t *s = m_encSBox.data();
    auto last = [s](std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
        return (s[byte0(a)] & 0x000000FF) ^ (s[byte1(b)] & 0x0000FF00) ^ (s[byte2(c)] & 0x00FF0000) ^
            (s[byte3(d)] & 0xFF000000);
    };
    const std::uint32_t y0 = last(x0, x1, x2, x3) ^ key[0];
    const std::uint32_t y1 = last(x1, x2, x3, x0) ^ key[1];
    const std::uint32_t y2 = last(x2, x3, x0, x1) ^ key[2];
    const std::uint32_t y3 = last(x3, x0, x1, x2) ^ key[3];
    storeWord(out, y0);
    storeWord(out + 4, y1);
    storeWord(out + 8, y2);
    storeWord(out + 12, y3);
}

void AesCipher::decryptBytes(const std::uint8_t *in, std::uint8_t *out) const
{
    const std::uint32_t *t0 = m_decTable0.data();
    const std::uint32_t *t1 = m_decTable1.data();
    const std::uint32_t *t2 = m_decTable2.data();
    const std::uint32_t *t3 = m_decTable3.data();
    const std::uint32_t *key = m_decKey.data();

    std::uint32_t x0 = loadWord(in) ^ key[0];
    std::uint32_t x1 = loadWord(in + 4) ^ key[1];
    std::uint32_t x2 = loadWord(in + 8) ^ key[2];
    std::uint32_t x3 = loadWord(in + 12) ^ key[3];
    key += 4;

    // Inverse row shift: y0 from b0, b13, b10, b7 and so on.
    for (std::int32_t round = 1; round < m_rounds; ++round, key += 4) {
        const std::uint32_t y0 = t0[byte0(x0)] ^ t1[byte1(x3)] ^ t2[byte2(x2)] ^ t3[byte3(x1)] ^ key[0];
        const std::uint32_t y1 = t0[byte0(x1)] ^ t1[byte1(x0)] ^ t2[byte2(x3)] ^ t3[byte3(x2)] ^ key[1];
        const std::uint32_t y2 = t0[byte0(x2)] ^ t1[byte1(x1)] ^ t2[byte2(x0)] ^ t3[byte3(x3)] ^ key[2];
        const std::uint32_t y3 = t0[byte0(x3)] ^ t1[byte1(x2)] ^ t2[byte2(x1)] ^ t3[byte3(x0)] ^ key[3];
        x0 = y0;
        x1 = y1;
        x2 = y2;
        x3 = y3;
    }

    const std::uint32_t *s = m_decSBox.data();
    auto last = [s](std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
        return (s[byte0(a)] & 0x000000FF) ^ (s[byte1(b)] & 0x0000FF00) ^ (s[byte2(c)] & 0x00FF0000) ^
            (s[byte3(d)] & 0xFF000000);
    };
    const std::uint32_t y0 = last(x0, x3, x2, x1) ^ key[0];
    const std::uint32_t y1 = last(x1, x0, x3, x2) ^ key[1];
    const std::uint32_t y2 = last(x2, x1, x0, x3) ^ key[2];
    const std::uint32_t y3 = last(x3, x2, x1, x0) ^ key[3];
    storeWord(out, y0);
    storeWord(out + 4, y1);
    storeWord(out + 8, y2);
    storeWord(out + 12, y3);
}
