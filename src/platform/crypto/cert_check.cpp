#include "platform/crypto/cert_check.h"

#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <sys/stat.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

constexpr char kPemCertBegin[] = "-----BEGIN CERTIFICATE-----";
// A certificate file larger than this is no certificate of ours.
constexpr long kCertFileMax = 64 * 1024;

struct BioFree {
    void operator()(BIO *bio) const { BIO_free(bio); }
};
struct X509Free {
    void operator()(X509 *cert) const { X509_free(cert); }
};
struct X509ReqFree {
    void operator()(X509_REQ *req) const { X509_REQ_free(req); }
};
struct PkeyFree {
    void operator()(EVP_PKEY *key) const { EVP_PKEY_free(key); }
};
using BioPtr = std::unique_ptr<BIO, BioFree>;
using PkeyPtr = std::unique_ptr<EVP_PKEY, PkeyFree>;

bool file_exists(const char *path)
{
    struct stat info {};
    return path != nullptr && stat(path, &info) == 0;
}

// Never asks for a pass phrase: an encrypted key cannot be read here.
int no_password(char * /*buffer*/, int /*size*/, int /*rwflag*/, void * /*context*/) { return 0; }

// The file must begin with the certificate itself, so that nothing else
// (a database export, say) can travel in front of it.
bool starts_with_pem_cert(const char *path)
{
    FILE *file = fopen(path, "rb");
    if (file == nullptr)
        return false;
    char head[256] = {};
    const size_t length = fread(head, 1, sizeof head - 1, file);
    fclose(file);
    size_t at = 0;
    while (at < length && isspace(static_cast<unsigned char>(head[at])))
        ++at;
    return strncmp(head + at, kPemCertBegin, strlen(kPemCertBegin)) == 0;
}

bool key_matches(EVP_PKEY *cert_key, EVP_PKEY *other)
{
    return other != nullptr && EVP_PKEY_eq(cert_key, other) == 1;
}

PkeyPtr read_private_key(const char *path)
{
    const BioPtr bio(BIO_new_file(path, "rb"));
    return PkeyPtr(bio ? PEM_read_bio_PrivateKey(bio.get(), nullptr, no_password, nullptr) : nullptr);
}

PkeyPtr read_request_key(const char *path)
{
    const BioPtr bio(BIO_new_file(path, "rb"));
    if (!bio)
        return nullptr;
    const std::unique_ptr<X509_REQ, X509ReqFree> request(
        PEM_read_bio_X509_REQ(bio.get(), nullptr, no_password, nullptr));
    return PkeyPtr(request ? X509_REQ_get_pubkey(request.get()) : nullptr);
}

} // namespace

int cert_check_install(const char *cert_path, const char *key_path, const char *csr_path)
{
    struct stat info {};
    if (cert_path == nullptr || stat(cert_path, &info) != 0 || !S_ISREG(info.st_mode) ||
        info.st_size > kCertFileMax || !starts_with_pem_cert(cert_path))
        return kCertNotPem;
    const BioPtr bio(BIO_new_file(cert_path, "rb"));
    const std::unique_ptr<X509, X509Free> cert(
        bio ? PEM_read_bio_X509(bio.get(), nullptr, no_password, nullptr) : nullptr);
    if (!cert)
        return kCertNotPem;
    EVP_PKEY *cert_key = X509_get0_pubkey(cert.get());
    if (cert_key == nullptr)
        return kCertNotPem;
    // A pending request names the key the signed certificate is for;
    // without one the certificate must be for the device's present key.
    if (file_exists(csr_path))
        return key_matches(cert_key, read_request_key(csr_path).get()) ? kCertUsable : kCertWrongKey;
    if (file_exists(key_path))
        return key_matches(cert_key, read_private_key(key_path).get()) ? kCertUsable : kCertWrongKey;
    return kCertUsable;
}
