// Network services of the demo device: the clock, DDNS and P2P status, the
// test mail, and the certificate work. Creating a certificate makes a real
// key and a self-signed certificate (or a signing request) in the device's
// certificate folder, so that the pages download and install real files.
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "demo.h"
#include "modules/network/service_records.h"
#include "platform/confdb/confdb.h"
#include "platform/sysutil/nvr_path.h"

namespace {

constexpr int32_t kDdnsRunning = 1;
constexpr int kDefaultValidityDays = 365;
constexpr int kKeyBits = 2048;

bool g_p2p_enabled = true;

void ignore(const CoreMessage &, Answer &) {}

void reply_int(int32_t code, int32_t value, Answer &answer)
{
    answer.push_back(AnswerStep::reply(code, demo_int32s({value})));
}

void on_set_time(const CoreMessage &, Answer &answer)
{
    answer.push_back(AnswerStep::reply(kReplySetTime, ""));
}

void on_ddns_status(const CoreMessage &, Answer &answer)
{
    reply_int(kReplyDdnsStatus, kDdnsRunning, answer);
}

// The demo's mail server takes every test mail.
void on_test_mail(const CoreMessage &, Answer &answer) { reply_int(kReplyTestMail, 0, answer); }

template <size_t N> void put(char (&field)[N], const char *text) { snprintf(field, N, "%s", text); }

void on_p2p_status(const CoreMessage &, Answer &answer)
{
    p2p_status status{};
    status.enable = g_p2p_enabled ? 1 : 0;
    status.p2pstatus = g_p2p_enabled ? 1 : 0;
    put(status.model, "NVR-3216");
    put(status.ipc, "16");
    put(status.cloudAccount, "demo@example.com");
    put(status.cloudServer, "p2p.example.com");
    put(status.registerCode, "DEMO-7F3A-99C2-4410");
    put(status.company, "Example Security Ltd.");
    put(status.email, "support@example.com");
    put(status.dealer, "Example Dealer");
    status.region = 1;
    answer.push_back(AnswerStep::reply(kReplyP2pStatus, demo_bytes(&status, sizeof status)));
}

// A registration answer forwarded by the P2P test comes as a short text
// without the record; it needs no reply.
void on_p2p_enable(const CoreMessage &request, Answer &answer)
{
    if (request.payload.size() < sizeof(p2p_record))
        return;
    g_p2p_enabled = true;
    reply_int(kReplyP2pEnable, 0, answer);
}

void on_p2p_disable(const CoreMessage &, Answer &answer)
{
    g_p2p_enabled = false;
    reply_int(kReplyP2pDisable, 0, answer);
}

void on_p2p_unbind(const CoreMessage &, Answer &answer) { reply_int(kReplyP2pUnbind, 0, answer); }

// Certificates.

std::string ssl_path(const char *name) { return std::string(NvrPath("/mnt/nand/ssl/").c_str()) + name; }

struct PemFile {
    FILE *file;
    explicit PemFile(const std::string &path) : file(fopen(path.c_str(), "w")) {}
    ~PemFile()
    {
        if (file != nullptr)
            fclose(file);
    }
};

void set_names(X509_NAME *name, const cert_create_param &param)
{
    const struct {
        const char *field;
        const char *value;
    } entries[] = {{"C", param.Country},         {"ST", param.Province}, {"L", param.Region},
                   {"O", param.Organization},    {"OU", param.Company},  {"CN", param.CommonName},
                   {"emailAddress", param.Email}};
    for (const auto &entry : entries)
        if (entry.value[0] != '\0')
            X509_NAME_add_entry_by_txt(name, entry.field, MBSTRING_UTF8,
                                       reinterpret_cast<const unsigned char *>(entry.value), -1, -1, 0);
}

bool write_key(EVP_PKEY *key, const std::string &path)
{
    const PemFile out(path);
    return out.file != nullptr &&
           PEM_write_PrivateKey(out.file, key, nullptr, nullptr, 0, nullptr, nullptr) == 1;
}

void store_request_details(const cert_create_param &param)
{
    ssl_param_record details{};
    put(details.country, param.Country);
    put(details.common_name, param.CommonName);
    put(details.email, param.Email);
    write_ssl_params(ZQDB_PATH, &details, 2);
    confdb_close();
}

template <size_t N> void subject_text(X509_NAME *name, int nid, char (&out)[N])
{
    out[0] = '\0';
    X509_NAME_get_text_by_NID(name, nid, out, N);
}

// The details of the installed certificate, as the pages show them.
bool store_installed_details()
{
    FILE *file = fopen(ssl_path("ssl_cert.pem").c_str(), "r");
    X509 *cert = file != nullptr ? PEM_read_X509(file, nullptr, nullptr, nullptr) : nullptr;
    if (file != nullptr)
        fclose(file);
    if (cert == nullptr)
        return false;
    ssl_param_record details{};
    subject_text(X509_get_subject_name(cert), NID_countryName, details.country);
    subject_text(X509_get_subject_name(cert), NID_commonName, details.common_name);
    subject_text(X509_get_subject_name(cert), NID_pkcs9_emailAddress, details.email);
    BIO *dates = BIO_new(BIO_s_mem());
    ASN1_TIME_print(dates, X509_get0_notBefore(cert));
    BIO_puts(dates, " - ");
    ASN1_TIME_print(dates, X509_get0_notAfter(cert));
    BIO_read(dates, details.dates, sizeof details.dates - 1);
    BIO_free(dates);
    X509_free(cert);
    write_ssl_params(ZQDB_PATH, &details, 0);
    confdb_close();
    return true;
}

bool make_self_signed(EVP_PKEY *key, const cert_create_param &param)
{
    X509 *cert = X509_new();
    const int days = param.Validity > 0 ? param.Validity : kDefaultValidityDays;
    ASN1_INTEGER_set(X509_get_serialNumber(cert), 1);
    X509_gmtime_adj(X509_getm_notBefore(cert), 0);
    X509_gmtime_adj(X509_getm_notAfter(cert), static_cast<long>(days) * 24 * 3600);
    X509_set_pubkey(cert, key);
    set_names(X509_get_subject_name(cert), param);
    X509_set_issuer_name(cert, X509_get_subject_name(cert));
    bool made = X509_sign(cert, key, EVP_sha256()) > 0;
    if (made) {
        const PemFile out(ssl_path("ssl_cert.pem"));
        made = out.file != nullptr && PEM_write_X509(out.file, cert) == 1;
    }
    X509_free(cert);
    return made && write_key(key, ssl_path("ssl_key.pem")) && store_installed_details();
}

// The request's key waits beside the request until a certificate for it
// is installed.
bool make_request(EVP_PKEY *key, const cert_create_param &param)
{
    X509_REQ *request = X509_REQ_new();
    X509_REQ_set_pubkey(request, key);
    set_names(X509_REQ_get_subject_name(request), param);
    bool made = X509_REQ_sign(request, key, EVP_sha256()) > 0;
    mkdir(ssl_path("tmp").c_str(), 0755);
    if (made) {
        const PemFile out(ssl_path("tmp/ssl_cert.csr"));
        made = out.file != nullptr && PEM_write_X509_REQ(out.file, request) == 1;
    }
    X509_REQ_free(request);
    if (made && write_key(key, ssl_path("tmp/ssl_key.pem")))
        store_request_details(param);
    return made;
}

void on_cert_create(const CoreMessage &request, Answer &answer)
{
    cert_create_param param;
    if (!demo_payload_as(request, &param))
        return;
    for (char *text : {param.Country, param.CommonName, param.Province, param.Region, param.Organization,
                       param.Company, param.Email})
        text[strnlen(text, 63)] = '\0';
    param.Country[sizeof param.Country - 1] = '\0';
    EVP_PKEY *key = EVP_RSA_gen(kKeyBits);
    const bool made =
        key != nullptr && (param.InstallType == 0 ? make_self_signed(key, param) : make_request(key, param));
    EVP_PKEY_free(key);
    if (made)
        answer.push_back(AnswerStep::reply(kReplyCertCreate, demo_int32s({0})));
}

void on_cert_request_delete(const CoreMessage &, Answer &)
{
    unlink(ssl_path("tmp/ssl_cert.csr").c_str());
    unlink(ssl_path("tmp/ssl_key.pem").c_str());
}

// The installed certificate takes the pending request's key along; the
// request is then done.
void on_cert_install(const CoreMessage &, Answer &answer)
{
    const bool installed = store_installed_details();
    if (installed && access(ssl_path("tmp/ssl_key.pem").c_str(), R_OK) == 0) {
        rename(ssl_path("tmp/ssl_key.pem").c_str(), ssl_path("ssl_key.pem").c_str());
        unlink(ssl_path("tmp/ssl_cert.csr").c_str());
    }
    reply_int(kReplyCertInstall, installed ? 1 : 0, answer);
}

const DemoRow kNetServiceRows[] = {
    {kMsgSetTime, on_set_time},         {kMsgTimeApplied, ignore},
    {kMsgChannelAccess, ignore},        {kMsgPushSwitch, ignore},
    {kMsgDdnsStatus, on_ddns_status},   {kMsgTestMail, on_test_mail},
    {kMsgP2pStatus, on_p2p_status},     {kMsgP2pEnable, on_p2p_enable},
    {kMsgP2pDisable, on_p2p_disable},   {kMsgP2pUnbind, on_p2p_unbind},
    {kMsgCertCreate, on_cert_create},   {kMsgCertReqDelete, on_cert_request_delete},
    {kMsgCertInstall, on_cert_install}, {kMsgCertDeleted, ignore},
    {kMsgHttpsSwitch, ignore},
};

} // namespace

NVR_DEMO_ROWS(kNetServiceRows)
