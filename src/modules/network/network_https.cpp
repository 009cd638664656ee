// HTTPS certificates: creating a certificate or a signing request through
// the core daemon, their details, downloading and deleting the request,
// installing a signed certificate, deleting the certificate and switching
// HTTPS on and off.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "codecs/json_util.h"
#include "codecs/params.h"
#include "codecs/wire_fields.h"
#include "core/ipc.h"
#include "front/cgi_env.h"
#include "front/cgi_upload.h"
#include "front/web_utils.h"
#include "modules/network/network.h"
#include "modules/network/network_services.h"
#include "modules/network/service_records.h"
#include "platform/confdb/confdb.h"
#include "platform/crypto/cert_check.h"
#include "platform/sysutil/nvr_path.h"
#include "platform/sysutil/zq_std.h"

namespace {

constexpr const char *kSslDir = "/mnt/nand/ssl";
constexpr const char *kCertPath = "/mnt/nand/ssl/ssl_cert.pem";
constexpr const char *kCertSavePath = "/mnt/nand/ssl/ssl_cert_save.pem";
constexpr const char *kCertKeyPath = "/mnt/nand/ssl/ssl_key.pem";
constexpr const char *kInstalledCsrPath = "/mnt/nand/ssl/ssl_cert.csr";
constexpr const char *kPendingCsrPath = "/mnt/nand/ssl/tmp/ssl_cert.csr";
constexpr const char *kCaDir = "/mnt/nand/ssl/demoCA";
constexpr const char *kHttpsKey = "httpsenable";
constexpr int kDetailsCert = 0;
constexpr int kDetailsRequest = 2;
constexpr size_t kDownloadChunk = 4095;
constexpr int kInstallConfirmed = 1;
constexpr int kTreeDepthMax = 16;

constexpr WireField kCreateFields[] = {
    WIRE_INT("InstallType", cert_create_param, InstallType),
    WIRE_TEXT("Country", cert_create_param, Country),
    WIRE_TEXT("CommonName", cert_create_param, CommonName),
    WIRE_TEXT("Password", cert_create_param, Password),
    WIRE_TEXT("Province", cert_create_param, Province),
    WIRE_TEXT("Region", cert_create_param, Region),
    WIRE_TEXT("Organization", cert_create_param, Organization),
    WIRE_TEXT("Company", cert_create_param, Company),
    WIRE_TEXT("Email", cert_create_param, Email),
};
// Only a self-signed certificate has a validity and a time span.
constexpr WireField kSelfSignedFields[] = {
    WIRE_INT("Validity", cert_create_param, Validity),
    WIRE_TEXT("startTime", cert_create_param, startTime),
    WIRE_TEXT("endTime", cert_create_param, endTime),
};

constexpr WireField kCertDetails[] = {
    WIRE_TEXT("country", ssl_param_record, country),
    WIRE_TEXT("common_name", ssl_param_record, common_name),
    WIRE_TEXT("email", ssl_param_record, email),
    WIRE_TEXT("dates", ssl_param_record, dates),
};
constexpr WireField kRequestDetails[] = {
    WIRE_TEXT("country_req", ssl_param_record, country),
    WIRE_TEXT("common_name_req", ssl_param_record, common_name),
    WIRE_TEXT("email_req", ssl_param_record, email),
};

bool device_file_exists(const char *device_path)
{
    return zq_check_file_exist(NvrPath(device_path).c_str()) == 0;
}

// Removes `path` and, for a folder, everything in it; symbolic links are
// removed, never followed. 0 also when nothing was there.
int remove_tree(int parent, const char *name, int depth)
{
    struct stat info {};
    if (fstatat(parent, name, &info, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? 0 : -1;
    if (!S_ISDIR(info.st_mode))
        return unlinkat(parent, name, 0);
    const int folder = openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    DIR *entries = folder >= 0 && depth < kTreeDepthMax ? fdopendir(folder) : nullptr;
    if (entries == nullptr) {
        if (folder >= 0)
            close(folder);
        return -1;
    }
    int result = 0;
    while (const dirent *entry = readdir(entries))
        if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0)
            result |= remove_tree(folder, entry->d_name, depth + 1);
    closedir(entries);
    return result == 0 ? unlinkat(parent, name, AT_REMOVEDIR) : -1;
}

// Gives everything below `folder` mode 0777 (the signing tools of the core
// daemon run as another user); symbolic links are left alone.
int open_up_tree(int folder, int depth)
{
    DIR *entries = depth < kTreeDepthMax ? fdopendir(dup(folder)) : nullptr;
    if (entries == nullptr)
        return -1;
    int result = 0;
    while (const dirent *entry = readdir(entries)) {
        struct stat info {};
        if (strcmp(entry->d_name, ".") == 0 || strcmp(entry->d_name, "..") == 0 ||
            fstatat(folder, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 || S_ISLNK(info.st_mode))
            continue;
        result |= fchmodat(folder, entry->d_name, 0777, 0);
        if (S_ISDIR(info.st_mode)) {
            const int child = openat(folder, entry->d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            result |= child >= 0 ? open_up_tree(child, depth + 1) : -1;
            if (child >= 0)
                close(child);
        }
    }
    closedir(entries);
    return result == 0 ? 0 : -1;
}

int write_small_file(const char *path, const char *text)
{
    return zq_wirte_file_data(path, text, static_cast<int>(strlen(text))) == 0 ? 0 : -1;
}

// A fresh certificate authority folder: demoCA with newcerts, an empty
// index and the serial 01, everything open to the signing tools.
int config_ssl_environment()
{
    const NvrPath ssl(kSslDir);
    const NvrPath ca(kCaDir);
    if (mkdir(ssl.c_str(), 0755) != 0 && errno != EEXIST)
        return -1;
    const int folder = open(ssl.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folder < 0)
        return -1;
    char path[kNvrPathMax];
    int result = remove_tree(folder, "demoCA", 0);
    result |= mkdir(ca.c_str(), 0755);
    snprintf(path, sizeof path, "%s/newcerts", ca.c_str());
    result |= mkdir(path, 0755);
    snprintf(path, sizeof path, "%s/index.txt", ca.c_str());
    result |= write_small_file(path, "");
    snprintf(path, sizeof path, "%s/serial", ca.c_str());
    result |= write_small_file(path, "01\n");
    result |= open_up_tree(folder, 0);
    close(folder);
    return result == 0 ? 0 : -1;
}

int https_enable() { return get_param_int(ZQDB_PATH, kHttpsKey, 0); }

void store_https_enable(int value)
{
    if (set_param_int(ZQDB_PATH, kHttpsKey, value) != 0) {
        char text[16];
        snprintf(text, sizeof text, "%d", value);
        add_param_value(ZQDB_PATH, kHttpsKey, text);
    }
}

// Saves the installed certificate (when there is one) and moves the
// uploaded file into its place; each step must succeed.
int place_certificate(const char *upload)
{
    const NvrPath cert(kCertPath);
    if (zq_check_file_exist(cert.c_str()) == 0 &&
        CopyFileSync(cert.c_str(), NvrPath(kCertSavePath).c_str()) != 0)
        return -1;
    return MoveFileSync(upload, cert.c_str());
}

} // namespace

int on_create_https_cert(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    if (!request)
        return 0;
    cert_create_param param{};
    wire_update(request.get(), wire_layout(kCreateFields, sizeof param), &param);
    if (param.InstallType == 0)
        wire_update(request.get(), wire_layout(kSelfSignedFields, sizeof param), &param);
    if (config_ssl_environment() != 0)
        return cgi_error_to_webserver(kRespText);
    return network_request(kMsgCertCreate, &param, sizeof param, kRespText);
}

int on_get_cert_info(char * /*text*/)
{
    const JsonPtr answer = json_new_object();
    if (!device_file_exists(kCertPath)) {
        store_https_enable(0);
        json_add_int(answer.get(), "enable", https_enable());
        json_add_string(answer.get(), "checkfile", "NOFILE");
        return cgi_write_json(kRespJson, answer.get());
    }
    ssl_param_record details;
    read_ssl_params(ZQDB_PATH, &details, kDetailsCert);
    json_add_int(answer.get(), "enable", https_enable());
    json_add_string(answer.get(), "checkfile", "OK");
    wire_add_fields(answer.get(), &details, wire_layout(kCertDetails, sizeof details));
    return cgi_write_json(kRespJson, answer.get());
}

int on_get_cert_req_info(char * /*text*/)
{
    const JsonPtr answer = json_new_object();
    if (!device_file_exists(kPendingCsrPath)) {
        json_add_string(answer.get(), "checkfile", "NOFILE");
        return cgi_write_json(kRespJson, answer.get());
    }
    ssl_param_record details;
    read_ssl_params(ZQDB_PATH, &details, kDetailsRequest);
    json_add_string(answer.get(), "checkfile", "OK");
    wire_add_fields(answer.get(), &details, wire_layout(kRequestDetails, sizeof details));
    return cgi_write_json(kRespJson, answer.get());
}

int on_download_cert_req(char * /*text*/)
{
    FILE *file = fopen(NvrPath(kPendingCsrPath).c_str(), "rb");
    if (file == nullptr)
        return cgi_writeback_webserver(kRespText, "NotFile");
    FILE *out = cgiOut != nullptr ? cgiOut : stdout;
    fputs("Content-Type:application/octet-stream\r\n", out);
    fprintf(out, "Content-Disposition: attachment; filename= %s\r\n\r\n", "ssl_cert.csr");
    char chunk[kDownloadChunk];
    size_t got = 0;
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0)
        fwrite(chunk, 1, got, out);
    fclose(file);
    fflush(out);
    return 0;
}

int on_delete_cert_req(char * /*text*/)
{
    network_notify(kMsgCertReqDelete, nullptr, 0);
    return cgi_writeback_webserver(kRespText, "OK");
}

// Only the file this request uploaded is installed, and only a certificate
// for the device's key; anything else is refused and the installed
// certificate stays. The profile tool's work on the file is the device's
// own: its outcome does not decide the install.
int on_install_cert(char *text)
{
    const char *upload = cgi_text_is_upload(text) ? cgi_uploaded_file_path() : nullptr;
    if (upload == nullptr)
        return cgi_writeback_webserver(kRespText, "Error");
    const int checked =
        cert_check_install(upload, NvrPath(kCertKeyPath).c_str(), NvrPath(kPendingCsrPath).c_str());
    if (checked != kCertUsable) {
        cgi_log("network", __LINE__, "", "certificate refused (%d)", checked);
        unlink(upload);
        return cgi_writeback_webserver(kRespText, "Error");
    }
    const char *const profile[] = {"zqprofile", "-i", upload, nullptr};
    if (web_run_argv(profile) != 0)
        cgi_log("network", __LINE__, "", "profile tool declined the certificate");
    if (place_certificate(upload) != 0) {
        unlink(upload);
        return cgi_writeback_webserver(kRespText, "Error");
    }
    return network_request(kMsgCertInstall, nullptr, 0, kRespText);
}

int on_delete_cert(char * /*text*/)
{
    store_https_enable(0);
    unlink(NvrPath(kCertPath).c_str());
    unlink(NvrPath(kInstalledCsrPath).c_str());
    ssl_param_record blank{};
    for (char *field : {blank.country, blank.common_name, blank.email, blank.dates})
        field[0] = ' ';
    write_ssl_params(ZQDB_PATH, &blank, kDetailsCert);
    network_notify(kMsgCertDeleted, nullptr, 0);
    const int32_t off = 0;
    network_notify(kMsgHttpsSwitch, &off, sizeof off);
    return cgi_writeback_webserver(kRespText, "OK");
}

int on_set_https_enable(char *text)
{
    int value = 0;
    if (on_cgi_get_value_by_json(text, kHttpsKey, &value) != 0 || (value != 0 && value != 1))
        return 0;
    if (value != 0 && !device_file_exists(kCertPath))
        return cgi_writeback_webserver(kRespText, "NOFILE");
    const int32_t payload = value;
    network_notify(kMsgHttpsSwitch, &payload, sizeof payload);
    store_https_enable(value);
    return cgi_writeback_webserver(kRespText, "OK");
}

int on_get_https_enable(char * /*text*/)
{
    const JsonPtr answer = json_new_object();
    json_add_int(answer.get(), "enable", https_enable());
    return cgi_write_json(kRespJson, answer.get());
}

int on_create_cert_cb(const ReplyReader & /*reply*/)
{
    cgi_writeback_webserver(kRespText, "OK");
    cgi_set_callback_done(1);
    return 0;
}

int on_resp_install_cert(const ReplyReader &reply)
{
    if (reply.size() < sizeof(int32_t))
        return -1;
    cgi_writeback_webserver(kRespText, reply.int32_at(0) == kInstallConfirmed ? "OK" : "Error");
    cgi_set_callback_done(1);
    return 0;
}
