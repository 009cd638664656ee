// The OEM package readers: base64 text, the passphrase encryption of
// "openssl enc -aes-256-cbc -pbkdf2", and the check of a ZIP archive's
// entry list before anything is unpacked.
#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "modules/system/oem_package.h"
#include "platform/crypto/web_crypt.h"

namespace {

using Bytes = std::vector<unsigned char>;

int decode(const std::string &text, Bytes *out, size_t capacity = 64)
{
    out->assign(capacity, 0);
    const int length = zq_base64_decode(text.data(), text.size(), out->data(), out->size());
    if (length >= 0)
        out->resize(static_cast<size_t>(length));
    return length;
}

std::string as_text(const Bytes &bytes) { return std::string(bytes.begin(), bytes.end()); }

TEST(OemBase64, DecodesEveryPaddingAndSkipsLineBreaks)
{
    Bytes out;
    EXPECT_EQ(decode("bWFu", &out), 3);
    EXPECT_EQ(as_text(out), "man");
    EXPECT_EQ(decode("bWE=", &out), 2);
    EXPECT_EQ(as_text(out), "ma");
    EXPECT_EQ(decode("bQ==", &out), 1);
    EXPECT_EQ(as_text(out), "m");
    EXPECT_EQ(decode("bWFu\nbWFu\r\n bQ==\n", &out), 7);
    EXPECT_EQ(as_text(out), "manmanm");
    EXPECT_EQ(decode("", &out), 0);
}

TEST(OemBase64, RefusesMalformedTextAndOverflow)
{
    Bytes out;
    for (const char *bad : {"bWF", "bW=u", "b===", "bQ==bWFu", "bWFu!", "bWFu$(x)", "=bWF"})
        EXPECT_EQ(decode(bad, &out), -1) << bad;
    EXPECT_EQ(decode("bWFubWFu", &out, 5), -1);
}

// A package as "openssl enc -aes-256-cbc -pbkdf2 -salt -pass pass:KEY" writes it.
Bytes encrypt(const std::string &plain, const char *key, const unsigned char (&salt)[8])
{
    unsigned char derived[48];
    PKCS5_PBKDF2_HMAC(key, static_cast<int>(strlen(key)), salt, sizeof salt, 10000, EVP_sha256(),
                      sizeof derived, derived);
    Bytes out(16 + plain.size() + 16);
    memcpy(out.data(), "Salted__", 8);
    memcpy(out.data() + 8, salt, sizeof salt);
    EVP_CIPHER_CTX *context = EVP_CIPHER_CTX_new();
    int part = 0;
    int last = 0;
    EVP_EncryptInit_ex(context, EVP_aes_256_cbc(), nullptr, derived, derived + 32);
    EVP_EncryptUpdate(context, out.data() + 16, &part, reinterpret_cast<const unsigned char *>(plain.data()),
                      static_cast<int>(plain.size()));
    EVP_EncryptFinal_ex(context, out.data() + 16 + part, &last);
    EVP_CIPHER_CTX_free(context);
    out.resize(16 + static_cast<size_t>(part + last));
    return out;
}

int decrypt(const Bytes &data, const char *key, std::string *plain, size_t capacity = 256)
{
    Bytes out(capacity);
    const int length = aesDecryWeb(data.data(), key, out.data(), out.size(), data.size());
    if (length > 0)
        plain->assign(out.begin(), out.begin() + length);
    return length;
}

constexpr unsigned char kSalt[8] = {1, 2, 3, 4, 5, 6, 7, 8};

TEST(OemDecrypt, OpensWhatTheEncryptionWrote)
{
    std::string plain;
    const std::string archive = "PK\x03\x04 branding files of forty-odd bytes";
    EXPECT_EQ(decrypt(encrypt(archive, "brand-key", kSalt), "brand-key", &plain),
              static_cast<int>(archive.size()));
    EXPECT_EQ(plain, archive);
    EXPECT_EQ(decrypt(encrypt("", "k", kSalt), "k", &plain), 0);
}

TEST(OemDecrypt, RefusesWrongKeyTruncationAndSmallBuffers)
{
    const Bytes package = encrypt("some archive bytes", "brand-key", kSalt);
    std::string plain;
    EXPECT_EQ(decrypt(package, "other-key", &plain), -1);
    EXPECT_EQ(decrypt(Bytes(package.begin(), package.end() - 1), "brand-key", &plain), -1);
    EXPECT_EQ(decrypt(Bytes(package.begin(), package.begin() + 16), "brand-key", &plain), -1);
    Bytes unsalted = package;
    unsalted[0] = 'X';
    EXPECT_EQ(decrypt(unsalted, "brand-key", &plain), -1);
    EXPECT_EQ(decrypt(package, "brand-key", &plain, package.size() - 16), -1);
}

struct Entry {
    std::string name;
    std::string data;
    uint32_t mode = 0100644;
    uint16_t flags = 0;
};

void put16(std::string *out, uint32_t value)
{
    out->push_back(static_cast<char>(value & 0xff));
    out->push_back(static_cast<char>(value >> 8 & 0xff));
}
void put32(std::string *out, uint32_t value)
{
    put16(out, value & 0xffff);
    put16(out, value >> 16);
}

// A ZIP archive of stored entries made on a Unix system.
std::string zip(const std::vector<Entry> &entries, const std::string &comment = "")
{
    std::string local;
    std::string central;
    for (const Entry &entry : entries) {
        const auto offset = static_cast<uint32_t>(local.size());
        const auto size = static_cast<uint32_t>(entry.data.size());
        put32(&local, 0x04034b50);
        for (const uint32_t field : {20u, uint32_t{entry.flags}, 0u, 0u, 0u})
            put16(&local, field);
        for (const uint32_t field : {0u, size, size})
            put32(&local, field);
        put16(&local, static_cast<uint32_t>(entry.name.size()));
        put16(&local, 0);
        local += entry.name + entry.data;
        put32(&central, 0x02014b50);
        for (const uint32_t field : {0x0314u, 20u, uint32_t{entry.flags}, 0u, 0u, 0u})
            put16(&central, field);
        for (const uint32_t field : {0u, size, size})
            put32(&central, field);
        for (const uint32_t field : {static_cast<uint32_t>(entry.name.size()), 0u, 0u, 0u, 0u})
            put16(&central, field);
        put32(&central, entry.mode << 16);
        put32(&central, offset);
        central += entry.name;
    }
    std::string out = local + central;
    put32(&out, 0x06054b50);
    put16(&out, 0);
    put16(&out, 0);
    put16(&out, static_cast<uint32_t>(entries.size()));
    put16(&out, static_cast<uint32_t>(entries.size()));
    put32(&out, static_cast<uint32_t>(central.size()));
    put32(&out, static_cast<uint32_t>(local.size()));
    put16(&out, static_cast<uint32_t>(comment.size()));
    return out + comment;
}

ZipCheck check(const std::string &archive)
{
    return oem_zip_check(reinterpret_cast<const unsigned char *>(archive.data()), archive.size());
}

TEST(OemZip, AcceptsFilesAndFoldersWithRelativeNames)
{
    EXPECT_EQ(check(zip({{"img/", "", 040755}, {"img/logo.png", "png"}, {"title.txt", "Hall"}}, "note")),
              ZipCheck::Safe);
    EXPECT_EQ(check(zip({{"a..b/c.d", "x", 0}})), ZipCheck::Safe);
}

TEST(OemZip, RefusesNamesThatLeaveTheFolder)
{
    for (const char *name :
         {"../x", "img/../../x", "/etc/passwd", "img\\..\\x", "..", "img/..", "./x", "a//b", "a\nb", "", "/"})
        EXPECT_EQ(check(zip({{"ok.txt", "x"}, {name, "x"}})), ZipCheck::UnsafeName) << name;
}

TEST(OemZip, RefusesLinksAndSpecialFiles)
{
    EXPECT_EQ(check(zip({{"link", "/etc", 0120777}, {"link/passwd", "x"}})), ZipCheck::Link);
    EXPECT_EQ(check(zip({{"fifo", "", 0010644}})), ZipCheck::Link);
}

TEST(OemZip, RefusesArchivesOtherReadersCouldSeeDifferently)
{
    const std::string archive = zip({{"a.txt", "x"}});
    EXPECT_EQ(check(archive + "trailing"), ZipCheck::Malformed);
    EXPECT_EQ(check(archive.substr(0, archive.size() - 1)), ZipCheck::Malformed);
    EXPECT_EQ(check(archive.substr(archive.size() - 22)), ZipCheck::Malformed);
    EXPECT_EQ(check(zip({{"a.txt", "x", 0100644, 1}})), ZipCheck::Malformed);
    EXPECT_EQ(check(""), ZipCheck::Malformed);
    EXPECT_EQ(check("PK\x05\x06"), ZipCheck::Malformed);
}

TEST(OemZip, RefusesArchivesBeyondTheLimits)
{
    std::vector<Entry> many(kOemEntriesMax + 1, Entry{"f", ""});
    for (size_t i = 0; i < many.size(); ++i)
        many[i].name = "f" + std::to_string(i);
    EXPECT_EQ(check(zip(many)), ZipCheck::TooLarge);
}

} // namespace
