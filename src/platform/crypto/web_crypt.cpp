#include "platform/crypto/web_crypt.h"

#include "platform/crypto/base64_url.h"

#include <openssl/evp.h>

#include <cstdint>
#include <cstring>
#include <memory>

namespace {

constexpr char kSaltTag[] = "Salted__";
constexpr size_t kSaltTagLength = sizeof kSaltTag - 1;
constexpr size_t kSaltLength = 8;
constexpr size_t kKeyLength = 32;
constexpr size_t kIvLength = 16;
constexpr size_t kBlock = 16;
constexpr int kRounds = 10000;

// 0-63 for a character of the alphabet, 64 for '=', -1 otherwise.
int base64_value(unsigned char c) { return c == '=' ? 64 : base64_sextet(static_cast<char>(c), '+', '/'); }

bool is_blank(unsigned char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

struct CipherFree {
    void operator()(EVP_CIPHER_CTX *context) const { EVP_CIPHER_CTX_free(context); }
};

} // namespace

int zq_base64_decode(const char *text, size_t length, unsigned char *out, size_t capacity)
{
    if (text == nullptr || out == nullptr)
        return -1;
    uint32_t group = 0;
    int in_group = 0;
    int padding = 0;
    size_t written = 0;
    for (size_t at = 0; at < length; ++at) {
        const auto c = static_cast<unsigned char>(text[at]);
        if (is_blank(c))
            continue;
        const int value = base64_value(c);
        // Nothing but padding may follow padding.
        if (value < 0 || (padding > 0 && value != 64))
            return -1;
        if (value == 64) {
            // "=" only as the third or fourth character of a group.
            if (in_group < 2 || ++padding > 2)
                return -1;
            group <<= 6;
        } else {
            group = group << 6 | static_cast<uint32_t>(value);
        }
        if (++in_group < 4)
            continue;
        const size_t bytes = 3 - static_cast<size_t>(padding);
        if (written + bytes > capacity)
            return -1;
        for (size_t i = 0; i < bytes; ++i)
            out[written++] = static_cast<unsigned char>(group >> (16 - 8 * i));
        group = 0;
        in_group = 0;
    }
    return in_group == 0 ? static_cast<int>(written) : -1;
}

int aesDecryWeb(const unsigned char *data, const char *key, unsigned char *out, size_t capacity,
                size_t length)
{
    const size_t header = kSaltTagLength + kSaltLength;
    if (data == nullptr || key == nullptr || out == nullptr || length < header + kBlock ||
        (length - header) % kBlock != 0 || memcmp(data, kSaltTag, kSaltTagLength) != 0 ||
        length - header > INT32_MAX || capacity < length - header + kBlock)
        return -1;
    unsigned char derived[kKeyLength + kIvLength];
    if (PKCS5_PBKDF2_HMAC(key, static_cast<int>(strlen(key)), data + kSaltTagLength, kSaltLength, kRounds,
                          EVP_sha256(), sizeof derived, derived) != 1)
        return -1;
    const std::unique_ptr<EVP_CIPHER_CTX, CipherFree> context(EVP_CIPHER_CTX_new());
    int part = 0;
    int last = 0;
    const bool decrypted =
        context != nullptr &&
        EVP_DecryptInit_ex(context.get(), EVP_aes_256_cbc(), nullptr, derived, derived + kKeyLength) == 1 &&
        EVP_DecryptUpdate(context.get(), out, &part, data + header, static_cast<int>(length - header)) == 1 &&
        EVP_DecryptFinal_ex(context.get(), out + part, &last) == 1;
    OPENSSL_cleanse(derived, sizeof derived);
    return decrypted ? part + last : -1;
}
