#pragma once

#include "clsrijndael.h"

#include <QByteArray>
#include <QtTest>

#include <openssl/evp.h>

#include <stdexcept>

inline ByteArray fromHex(const char *hex)
{
    const QByteArray bytes = QByteArray::fromHex(hex);
    return ByteArray(bytes.begin(), bytes.end());
}

inline QByteArray toHex(const ByteArray &bytes)
{
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size())).toHex();
}

// AES-ECB of whole blocks by OpenSSL, without padding.
inline ByteArray opensslEcb(bool encrypt, const ByteArray &key, const ByteArray &input)
{
    const EVP_CIPHER *cipher = key.size() == 16 ? EVP_aes_128_ecb()
        : key.size() == 24                      ? EVP_aes_192_ecb()
                                                : EVP_aes_256_ecb();
    EVP_CIPHER_CTX *ctx = EVP_CIPHER_CTX_new();
    ByteArray output(input.size());
    int written = 0;
    const bool ok = EVP_CipherInit_ex(ctx, cipher, nullptr, key.data(), nullptr, encrypt ? 1 : 0) == 1 &&
        EVP_CIPHER_CTX_set_padding(ctx, 0) == 1 &&
        EVP_CipherUpdate(ctx, output.data(), &written, input.data(), int(input.size())) == 1 &&
        written == int(input.size());
    EVP_CIPHER_CTX_free(ctx);
    if (!ok)
        throw std::runtime_error("OpenSSL AES-ECB failed");
    return output;
}
