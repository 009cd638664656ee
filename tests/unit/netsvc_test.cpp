// The certificate check of the install page and the P2P registration
// exchange against a stand-in service on the loopback interface.
#include <gtest/gtest.h>

#include <netinet/in.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

#include "platform/crypto/cert_check.h"
#include "platform/p2p/p2p_client.h"
#include "test_support.h"

namespace {

EVP_PKEY *make_key() { return EVP_EC_gen("P-256"); }

std::string cert_pem(EVP_PKEY *key)
{
    X509 *cert = X509_new();
    ASN1_INTEGER_set(X509_get_serialNumber(cert), 7);
    X509_gmtime_adj(X509_getm_notBefore(cert), 0);
    X509_gmtime_adj(X509_getm_notAfter(cert), 3600);
    X509_set_pubkey(cert, key);
    X509_NAME_add_entry_by_txt(X509_get_subject_name(cert), "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char *>("nvr.test"), -1, -1, 0);
    X509_set_issuer_name(cert, X509_get_subject_name(cert));
    X509_sign(cert, key, EVP_sha256());
    BIO *bio = BIO_new(BIO_s_mem());
    PEM_write_bio_X509(bio, cert);
    char *data = nullptr;
    const long size = BIO_get_mem_data(bio, &data);
    std::string text(data, static_cast<size_t>(size));
    BIO_free(bio);
    X509_free(cert);
    return text;
}

std::string request_pem(EVP_PKEY *key)
{
    X509_REQ *request = X509_REQ_new();
    X509_REQ_set_pubkey(request, key);
    X509_REQ_sign(request, key, EVP_sha256());
    BIO *bio = BIO_new(BIO_s_mem());
    PEM_write_bio_X509_REQ(bio, request);
    char *data = nullptr;
    const long size = BIO_get_mem_data(bio, &data);
    std::string text(data, static_cast<size_t>(size));
    BIO_free(bio);
    X509_REQ_free(request);
    return text;
}

std::string key_pem(EVP_PKEY *key)
{
    BIO *bio = BIO_new(BIO_s_mem());
    PEM_write_bio_PrivateKey(bio, key, nullptr, nullptr, 0, nullptr, nullptr);
    char *data = nullptr;
    const long size = BIO_get_mem_data(bio, &data);
    std::string text(data, static_cast<size_t>(size));
    BIO_free(bio);
    return text;
}

class CertCheckTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        key_a_ = make_key();
        key_b_ = make_key();
    }
    void TearDown() override
    {
        EVP_PKEY_free(key_a_);
        EVP_PKEY_free(key_b_);
    }
    std::string put(const std::string &name, const std::string &text)
    {
        const std::string path = root_ / name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    int check(const std::string &cert)
    {
        return cert_check_install(cert.c_str(), key_.c_str(), csr_.c_str());
    }

    TempRoot root_;
    EVP_PKEY *key_a_ = nullptr;
    EVP_PKEY *key_b_ = nullptr;
    std::string key_ = root_ / "no-key";
    std::string csr_ = root_ / "no-csr";
};

TEST_F(CertCheckTest, OnlyAPemCertificateAtTheStartOfTheFilePasses)
{
    const std::string pem = cert_pem(key_a_);
    EXPECT_EQ(check(put("good.pem", "\r\n\n" + pem)), kCertUsable);
    EXPECT_EQ(check(put("garbage.pem", "not a certificate\n")), kCertNotPem);
    EXPECT_EQ(check(put("empty.pem", "")), kCertNotPem);
    // Something else in front of the certificate: a tool that reads the
    // file from its start must not find another kind of file there.
    EXPECT_EQ(check(put("behind.pem", std::string("SQLite format 3\0", 16) + pem)), kCertNotPem);
    std::string broken = pem;
    broken[40] = broken[40] == 'A' ? 'B' : 'A';
    broken.erase(60, 30);
    EXPECT_EQ(check(put("broken.pem", broken)), kCertNotPem);
    EXPECT_EQ(check(put("request.pem", request_pem(key_a_))), kCertNotPem);
    EXPECT_EQ(check(root_ / "missing.pem"), kCertNotPem);
}

TEST_F(CertCheckTest, CertificateMustCarryTheDevicesKey)
{
    const std::string cert = put("a.pem", cert_pem(key_a_));
    key_ = put("key.pem", key_pem(key_a_));
    EXPECT_EQ(check(cert), kCertUsable);
    key_ = put("key.pem", key_pem(key_b_));
    EXPECT_EQ(check(cert), kCertWrongKey);
    key_ = put("key.pem", "unreadable key\n");
    EXPECT_EQ(check(cert), kCertWrongKey);
}

TEST_F(CertCheckTest, PendingRequestNamesTheKey)
{
    const std::string cert = put("a.pem", cert_pem(key_a_));
    key_ = put("key.pem", key_pem(key_b_));
    csr_ = put("req.csr", request_pem(key_a_));
    EXPECT_EQ(check(cert), kCertUsable);
    csr_ = put("req.csr", request_pem(key_b_));
    EXPECT_EQ(check(cert), kCertWrongKey);
    csr_ = put("req.csr", "not a request\n");
    EXPECT_EQ(check(cert), kCertWrongKey);
}

// A one-connection stand-in of the P2P service: reads the request header
// and the record, answers with `status` and, for 0, the answer text.
class P2pService {
public:
    explicit P2pService(int32_t status, bool hang_up = false)
    {
        listener_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(listener_, reinterpret_cast<sockaddr *>(&address), sizeof address);
        listen(listener_, 1);
        socklen_t size = sizeof address;
        getsockname(listener_, reinterpret_cast<sockaddr *>(&address), &size);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this, status, hang_up] { serve(status, hang_up); });
    }
    ~P2pService()
    {
        thread_.join();
        close(listener_);
    }
    int port() const { return port_; }
    std::string request;

private:
    void serve(int32_t status, bool hang_up)
    {
        const int peer = accept(listener_, nullptr, nullptr);
        char buffer[kP2pHeaderSize + 568];
        size_t got = 0;
        while (got < sizeof buffer) {
            const ssize_t n = recv(peer, buffer + got, sizeof buffer - got, 0);
            if (n <= 0)
                break;
            got += static_cast<size_t>(n);
        }
        request.assign(buffer, got);
        if (!hang_up) {
            char header[kP2pHeaderSize] = {};
            memcpy(header + 12, &status, sizeof status);
            send(peer, header, sizeof header, 0);
            char answer[kP2pAnswerSize] = "bound:SN-1";
            if (status == 0)
                send(peer, answer, sizeof answer, 0);
        }
        close(peer);
    }

    int listener_ = -1;
    int port_ = 0;
    std::thread thread_;
};

int32_t int_at(const std::string &bytes, size_t offset)
{
    int32_t value = 0;
    memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

TEST(P2pRegister, SendsHeaderAndRecordAndReadsTheAnswer)
{
    const std::string record(568, 'r');
    char answer[kP2pAnswerSize];
    std::string sent;
    {
        P2pService service(0);
        EXPECT_EQ(p2p_register_device("127.0.0.1", service.port(), record.data(), record.size(), answer),
                  kP2pRegisterDone);
        sent = service.request;
    }
    EXPECT_STREQ(answer, "bound:SN-1");
    ASSERT_EQ(sent.size(), kP2pHeaderSize + record.size());
    EXPECT_EQ(int_at(sent, 0), 2);
    EXPECT_EQ(int_at(sent, 4), 0);
    EXPECT_EQ(int_at(sent, 8), rsa_cal_ensize(568));
    EXPECT_EQ(int_at(sent, 12), 0);
    EXPECT_EQ(int_at(sent, 16), 1);
    EXPECT_EQ(sent.substr(20, 20), std::string(20, '\0'));
    EXPECT_EQ(sent.substr(kP2pHeaderSize), record);
    EXPECT_EQ(rsa_cal_ensize(568), 640);
}

TEST(P2pRegister, RefusalsAndFailuresHaveTheirCodes)
{
    const std::string record(568, 'r');
    char answer[kP2pAnswerSize];
    {
        P2pService service(2);
        EXPECT_EQ(p2p_register_device("127.0.0.1", service.port(), record.data(), record.size(), answer),
                  kP2pRegisterRefused);
    }
    {
        P2pService service(7);
        EXPECT_EQ(p2p_register_device("127.0.0.1", service.port(), record.data(), record.size(), answer),
                  kP2pRegisterNoLink);
    }
    {
        P2pService service(0, true);
        EXPECT_EQ(p2p_register_device("127.0.0.1", service.port(), record.data(), record.size(), answer),
                  kP2pRegisterNoLink);
    }
    EXPECT_EQ(answer[0], '\0');
    EXPECT_EQ(p2p_register_device("", 9999, record.data(), record.size(), answer), kP2pRegisterNoLink);
    EXPECT_EQ(p2p_register_device("127.0.0.1", 0, record.data(), record.size(), answer), kP2pRegisterNoLink);
}

} // namespace
