// Records of the network services: the settings the database keeps for
// time, PPPoE, DDNS, e-mail, SNMP and P2P, the push-message options, the
// certificate details, and the core payloads of the service pages.
#pragma once

#include <cstddef>
#include <cstdint>

#include "codecs/device_db.h"
#include "modules/network/network_records.h"
#include "platform/confdb/confdb.h"

// Fire-and-forget (beside those of codecs/device_db.h): the time changed,
// the channel access flag and the push-message switch.
constexpr int kMsgTimeApplied = 1711;
constexpr int kMsgChannelAccess = 3618;
constexpr int kMsgPushSwitch = 3617;
constexpr size_t kPushSwitchSize = 10;

// Request-reply.
constexpr int kMsgSetTime = 1701;
constexpr int kReplySetTime = 6701;
constexpr int kMsgDdnsStatus = 3309;
constexpr int kReplyDdnsStatus = 8309;
constexpr int kMsgTestMail = 3409;
constexpr int kReplyTestMail = 8409;
constexpr int kMsgP2pEnable = 3700;
constexpr int kReplyP2pEnable = 8700;
constexpr int kMsgP2pDisable = 3701;
constexpr int kReplyP2pDisable = 8701;
constexpr int kMsgP2pStatus = 3702;
constexpr int kReplyP2pStatus = 8702;
constexpr int kMsgP2pUnbind = 2302;
constexpr int kReplyP2pUnbind = 7302;
constexpr size_t kTimePayloadSize = 32;
constexpr size_t kTestMailSize = 32;

// Certificates: create (request-reply), delete the request (no wait),
// install (request-reply), certificate deleted and HTTPS switch (no wait).
constexpr int kMsgCertCreate = 3316;
constexpr int kReplyCertCreate = 8316;
constexpr int kMsgCertReqDelete = 3317;
constexpr int kMsgCertInstall = 3318;
constexpr int kReplyCertInstall = 8318;
constexpr int kMsgCertDeleted = 3320;
constexpr int kMsgHttpsSwitch = 3322;

#pragma pack(push, 1)

struct time_record {
    int32_t ntpEnable;
    int32_t dstEnable;
    char timeZone[32];
    char timeZoneName[32];
    char ntpServer[64];
    int32_t syncEnable;
    int32_t syncInterval;
    int32_t syncPc;
};

struct pppoe_record {
    int32_t enable;
    int32_t autoConnect;
    char userName[64];
    char password[64];
};

struct ddns_record {
    int32_t enable;
    char domain[64];
    char userName[32];
    char password[32];
    char hostName[128];
    char freeDNSHash[128];
    int32_t updateFreq;
    int32_t http_port;
    int32_t rtsp_port;
    char ddnsurl[128];
};

struct email_receiver {
    char receiverAddr[65];
    char receiverName[65];
    char padding[6];
};

constexpr int kEmailReceivers = 3;

struct email_record {
    int32_t enable;
    char userName[65];
    char password[65];
    char smtpServer[65];
    char padding1[1];
    int32_t smtpPort;
    char senderAddr[65];
    char senderName[65];
    char padding2[2];
    int32_t enableTls;
    int32_t enableAttach;
    int32_t captureInterval;
    email_receiver receivers[kEmailReceivers];
};

struct snmp_record {
    int32_t v1_enable;
    int32_t v2c_enable;
    char write_community[64];
    char read_community[64];
    int32_t v3_enable;
    char read_security_name[64];
    int32_t read_level_security;
    int32_t read_auth_algorithm;
    char read_auth_password[64];
    int32_t read_pri_algorithm;
    char read_pri_password[64];
    char write_security_name[64];
    int32_t write_level_security;
    int32_t write_auth_algorithm;
    char write_auth_password[64];
    int32_t write_pri_algorithm;
    char write_pri_password[64];
    int32_t port;
};

// The P2P cloud setting; its texts are the device's registration details
// that the P2P test sends along.
struct p2p_record {
    int32_t enable;
    char reserved[32];
    char company[128];
    char email[128];
    char dealer[128];
    char model[64];
    int32_t region;
};

// Reply 8702.
struct p2p_status {
    int32_t enable;
    int32_t p2pstatus;
    char model[32];
    char ipc[64];
    char cloudAccount[64];
    char cloudServer[64];
    char registerCode[128];
    char company[128];
    char email[128];
    char dealer[128];
    int32_t region;
};

// The registration record the P2P test sends to the P2P service.
struct p2p_register_record {
    char mac[24];
    char deviceName[32];
    char sn[64];
    char company[128];
    char email[128];
    char dealer[128];
    char model[64];
};

// One channel's push-message type (record kRecPushMsgEvent, id = channel).
struct push_msg_event {
    int32_t channel;
    int32_t push_type;
};

// The recorder's own push positions (record kRecPushMsgNvr, id 0).
struct push_msg_nvr_event {
    char positions[65];
};

// Certificate details (record kRecSslParams): id 0 the installed
// certificate, id 2 the pending request (whose "dates" stays empty).
struct ssl_param_record {
    char country[8];
    char common_name[64];
    char email[64];
    char dates[64];
};

// Payload of 3316.
struct cert_create_param {
    int32_t InstallType;
    char Country[3];
    char CommonName[64];
    char padding1[1];
    int32_t Validity;
    char Password[16];
    char Province[64];
    char Region[64];
    char Organization[64];
    char Company[64];
    char Email[64];
    char reserved[448];
    char startTime[16];
    char endTime[16];
};

#pragma pack(pop)

static_assert(sizeof(time_record) == 148);
static_assert(offsetof(time_record, syncEnable) == 136);
static_assert(sizeof(pppoe_record) == 136);
static_assert(sizeof(ddns_record) == 528);
static_assert(offsetof(ddns_record, updateFreq) == 388);
static_assert(offsetof(ddns_record, ddnsurl) == 400);
static_assert(sizeof(email_receiver) == 136);
static_assert(sizeof(email_record) == 756);
static_assert(offsetof(email_record, smtpPort) == 200);
static_assert(offsetof(email_record, enableTls) == 336);
static_assert(offsetof(email_record, receivers) == 348);
static_assert(sizeof(snmp_record) == 552);
static_assert(offsetof(snmp_record, port) == 548);
static_assert(sizeof(p2p_record) == 488);
static_assert(offsetof(p2p_record, company) == 36);
static_assert(offsetof(p2p_record, email) == 164);
static_assert(offsetof(p2p_record, dealer) == 292);
static_assert(offsetof(p2p_record, model) == 420);
static_assert(offsetof(p2p_record, region) == 484);
static_assert(sizeof(p2p_status) == 748);
static_assert(offsetof(p2p_status, registerCode) == 232);
static_assert(offsetof(p2p_status, dealer) == 616);
static_assert(offsetof(p2p_status, region) == 744);
static_assert(sizeof(p2p_register_record) == 568);
static_assert(offsetof(p2p_register_record, sn) == 56);
static_assert(offsetof(p2p_register_record, company) == 120);
static_assert(offsetof(p2p_register_record, model) == 504);
static_assert(sizeof(cert_create_param) == 892);
static_assert(offsetof(cert_create_param, Validity) == 72);
static_assert(offsetof(cert_create_param, Province) == 92);
static_assert(offsetof(cert_create_param, Email) == 348);
static_assert(offsetof(cert_create_param, startTime) == 860);
static_assert(offsetof(cert_create_param, endTime) == 876);

// Typed access to the records kept once (id 0).
inline int read_time(const char *db, time_record *r) { return read_device_record(db, kRecTime, r); }
inline int write_time(const char *db, const time_record *r) { return write_device_record(db, kRecTime, r); }
inline int read_pppoe(const char *db, pppoe_record *r) { return read_device_record(db, kRecPppoe, r); }
inline int write_pppoe(const char *db, const pppoe_record *r)
{
    return write_device_record(db, kRecPppoe, r);
}
inline int read_ddns(const char *db, ddns_record *r) { return read_device_record(db, kRecDdns, r); }
inline int write_ddns(const char *db, const ddns_record *r) { return write_device_record(db, kRecDdns, r); }
inline int read_email(const char *db, email_record *r) { return read_device_record(db, kRecEmail, r); }
inline int write_email(const char *db, const email_record *r)
{
    return write_device_record(db, kRecEmail, r);
}
inline int read_snmp(const char *db, snmp_record *r) { return read_device_record(db, kRecSnmp, r); }
inline int write_snmp(const char *db, const snmp_record *r) { return write_device_record(db, kRecSnmp, r); }
inline int read_p2p_info(const char *db, p2p_record *r) { return read_device_record(db, kRecP2p, r); }
inline int write_p2p_info(const char *db, const p2p_record *r) { return write_device_record(db, kRecP2p, r); }

// Certificate details of `kind` (0 or 2).
inline int read_ssl_params(const char *db, ssl_param_record *r, int kind)
{
    return confdb_read_record(db, kRecSslParams, kind, r, sizeof *r);
}
inline int write_ssl_params(const char *db, const ssl_param_record *r, int kind)
{
    return confdb_write_record(db, kRecSslParams, kind, r, sizeof *r);
}
