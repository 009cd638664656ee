// Packet capture: tcpdump started in the background on one interface,
// stopped, and its files served as one archive. Request values never reach
// a shell: each is checked for what it names and handed over as one
// argument; the capture folder is an existing folder below "/mnt" or
// "/tmp", and only the capture's own files are renamed, served and removed.
#include <arpa/inet.h>
#include <dirent.h>
#include <net/if.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "codecs/json_util.h"
#include "codecs/params.h"
#include "front/cgi_env.h"
#include "front/web_utils.h"
#include "modules/status/status.h"
#include "platform/netutil/netutil.h"
#include "platform/sysutil/nvr_path.h"

namespace {

constexpr size_t kIpSize = 64;
constexpr size_t kPortSize = 32;
constexpr size_t kNicSize = 8;
constexpr size_t kDirSize = 128;
constexpr size_t kCaptureNameSize = 32;
constexpr const char *kCapturePrefix = "rvpcap-";
constexpr size_t kCaptureStampDigits = 14;
constexpr const char *kArchiveName = "packet.tar";
constexpr size_t kChunk = 4095;
constexpr int kPortLast = 65535;

bool is_alnum(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

bool all_digits(const char *text, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
    }
    return true;
}

bool valid_address(const char *text)
{
    unsigned char address[sizeof(struct in6_addr)];
    return text[0] == '\0' || inet_pton(AF_INET, text, address) == 1 ||
           inet_pton(AF_INET6, text, address) == 1;
}

bool valid_port(const char *text)
{
    const size_t length = strlen(text);
    if (length == 0)
        return true;
    if (length > 5 || !all_digits(text, length))
        return false;
    const int port = atoi(text);
    return port >= 1 && port <= kPortLast;
}

bool valid_interface(const char *name)
{
    if (name[0] == '\0')
        return false;
    for (const char *c = name; *c != '\0'; ++c) {
        if (!is_alnum(*c))
            return false;
    }
    return if_nametoindex(name) != 0;
}

bool path_char_allowed(char c) { return is_alnum(c) || c == '/' || c == '_' || c == '-' || c == '.'; }

// True when `real` is `base` or lies below it.
bool lies_below(const char *real, const char *base)
{
    const size_t length = strlen(base);
    return strncmp(real, base, length) == 0 && (real[length] == '\0' || real[length] == '/');
}

// The capture folder as the device names it: absolute, below "/mnt" or
// "/tmp", of plain characters without "..", and an existing folder there
// once links are followed. `real` gets the folder's resolved path.
bool resolve_capture_dir(const char *dir, char (&real)[PATH_MAX])
{
    if (strncmp(dir, "/mnt", 4) != 0 && strncmp(dir, "/tmp", 4) != 0)
        return false;
    if (dir[4] != '\0' && dir[4] != '/')
        return false;
    if (strstr(dir, "..") != nullptr)
        return false;
    for (const char *c = dir; *c != '\0'; ++c) {
        if (!path_char_allowed(*c))
            return false;
    }
    const NvrPath device(dir);
    struct stat info {};
    if (realpath(device.c_str(), real) == nullptr || stat(real, &info) != 0 || !S_ISDIR(info.st_mode))
        return false;
    char base[PATH_MAX];
    for (const char *top : {"/mnt", "/tmp"}) {
        const NvrPath top_path(top);
        if (realpath(top_path.c_str(), base) != nullptr && lies_below(real, base))
            return true;
    }
    return false;
}

// A name the capture start gives its files: "rvpcap-" and 14 digits.
bool is_capture_name(const char *name)
{
    const size_t prefix = strlen(kCapturePrefix);
    return strncmp(name, kCapturePrefix, prefix) == 0 && strlen(name) == prefix + kCaptureStampDigits &&
           all_digits(name + prefix, kCaptureStampDigits);
}

// Removes the regular files of the folder whose name starts "rvpcap-".
void remove_old_captures(const char *dir)
{
    DIR *folder = opendir(dir);
    if (folder == nullptr)
        return;
    char path[PATH_MAX];
    while (const dirent *entry = readdir(folder)) {
        if (strncmp(entry->d_name, kCapturePrefix, strlen(kCapturePrefix)) != 0)
            continue;
        snprintf(path, sizeof path, "%s/%s", dir, entry->d_name);
        struct stat info {};
        if (lstat(path, &info) == 0 && S_ISREG(info.st_mode))
            unlink(path);
    }
    closedir(folder);
}

void run_quietly(const char *program, const char *argument)
{
    const char *const argv[] = {program, argument, nullptr};
    web_run_argv_output(argv, nullptr, 0);
}

// The filter: the interface's own addresses, narrowed to the peer address
// and port when they are given.
void capture_filter(char *filter, size_t size, const char *nic, const char *ip, const char *port)
{
    netconf_info info{};
    if_get_netconf(nic, &info);
    char own[sizeof info.ip + 1];
    copy_field_text(own, sizeof own, info.ip, sizeof info.ip);
    char ipv6[kIpv6AddrText] = "";
    char prefix[kIpv6MaskText] = "";
    if (net_get_ipv6_ifaddr(0, nic, ipv6, prefix) != 0 && net_get_ipv6_ifaddr(1, nic, ipv6, prefix) != 0)
        ipv6[0] = '\0';
    int used = snprintf(filter, size, "host %s", own);
    const auto append = [&](const char *format, const char *value) {
        if (used >= 0 && static_cast<size_t>(used) < size)
            used += snprintf(filter + used, size - static_cast<size_t>(used), format, value);
    };
    if (ipv6[0] != '\0')
        append(" || host %s", ipv6);
    if (ip[0] != '\0')
        append(" && host %s", ip);
    if (port[0] != '\0')
        append(" && port %s", port);
}

void capture_name_now(char (&name)[kCaptureNameSize])
{
    const time_t now = time(nullptr);
    struct tm local {};
    localtime_r(&now, &local);
    char stamp[kCaptureNameSize];
    strftime(stamp, sizeof stamp, "%Y%m%d%H%M%S", &local);
    snprintf(name, sizeof name, "%s%s", kCapturePrefix, stamp);
}

// The capture request's fields; false when one is not what it must name.
struct CaptureRequest {
    char ip[kIpSize];
    char port[kPortSize];
    char nic[kNicSize];
    char dir[kDirSize];
    char real_dir[PATH_MAX];
};

bool read_capture_request(const char *text, CaptureRequest *request)
{
    *request = {};
    const JsonPtr json(get_request_tokener_json_object(text));
    if (!json)
        return false;
    on_cgi_get_string_from_json(json.get(), "ip", request->ip, sizeof request->ip);
    on_cgi_get_string_from_json(json.get(), "port", request->port, sizeof request->port);
    on_cgi_get_string_from_json(json.get(), "nic", request->nic, sizeof request->nic);
    on_cgi_get_string_from_json(json.get(), "mntPath", request->dir, sizeof request->dir);
    return valid_address(request->ip) && valid_port(request->port) && valid_interface(request->nic) &&
           resolve_capture_dir(request->dir, request->real_dir);
}

// Splits "<folder>/rvpcap-<stamp>" and checks both parts.
bool split_capture_path(const char *text, char (&dir)[kDirSize], char (&name)[kCaptureNameSize],
                        char (&real_dir)[PATH_MAX])
{
    const char *slash = text != nullptr ? strrchr(text, '/') : nullptr;
    if (slash == nullptr || static_cast<size_t>(slash - text) >= sizeof dir)
        return false;
    memcpy(dir, text, static_cast<size_t>(slash - text));
    dir[slash - text] = '\0';
    if (strlen(slash + 1) >= sizeof name)
        return false;
    snprintf(name, sizeof name, "%s", slash + 1);
    return is_capture_name(name) && resolve_capture_dir(dir, real_dir);
}

// The capture's files ("NAME0", "NAME1", "NAME") renamed to end in ".pcap";
// their new names go to `renamed`. The number renamed.
int rename_capture_files(const char *dir, const char *name, char (*renamed)[kCaptureNameSize + 8])
{
    int count = 0;
    for (const char *suffix : {"0", "1", ""}) {
        char from[PATH_MAX];
        char to[PATH_MAX];
        snprintf(renamed[count], kCaptureNameSize + 8, "%s%s.pcap", name, suffix);
        snprintf(from, sizeof from, "%s/%s%s", dir, name, suffix);
        snprintf(to, sizeof to, "%s/%s", dir, renamed[count]);
        struct stat info {};
        if (lstat(from, &info) == 0 && S_ISREG(info.st_mode) && rename(from, to) == 0)
            ++count;
    }
    return count;
}

bool pack_capture(const char *dir, const char *archive, char (*files)[kCaptureNameSize + 8], int count)
{
    const char *argv[8] = {"tar", "-cf", archive, "-C", dir};
    int argc = 5;
    for (int i = 0; i < count; ++i)
        argv[argc++] = files[i];
    argv[argc] = nullptr;
    return web_run_argv_output(argv, nullptr, 0) == 0;
}

void send_archive(FILE *archive)
{
    FILE *out = cgiOut != nullptr ? cgiOut : stdout;
    fprintf(out, "Content-Type:application/octet-stream\r\n");
    fprintf(out, "Content-Disposition: attachment; filename= %s\r\n\r\n", kArchiveName);
    char chunk[kChunk];
    size_t read = 0;
    while ((read = fread(chunk, 1, sizeof chunk, archive)) > 0)
        fwrite(chunk, 1, read, out);
    fflush(out);
}

} // namespace

int on_start_packet_capture(char *text)
{
    static CaptureRequest request;
    if (!read_capture_request(text, &request))
        return cgi_error_to_webserver(kRespJson);
    char name[kCaptureNameSize];
    capture_name_now(name);
    char filter[512];
    capture_filter(filter, sizeof filter, request.nic, request.ip, request.port);

    run_quietly("killall", "tcpdump");
    run_quietly("killall", "webmonitor");
    remove_old_captures(request.real_dir);
    char target[PATH_MAX];
    snprintf(target, sizeof target, "%s/%s", request.real_dir, name);
    const char *const tcpdump[] = {"tcpdump", "-i", request.nic, "-s0", filter, "-W",
                                   "2",       "-C", "25",        "-w",  target, nullptr};
    web_spawn_argv(tcpdump);
    const NvrPath monitor("/www/webmonitor");
    const char *const watch[] = {monitor.c_str(), "tcpdump", "300", nullptr};
    web_spawn_argv(watch);

    JsonPtr object = json_new_object();
    json_add_string(object.get(), "dirPath", request.dir);
    json_add_string(object.get(), "fileName", name);
    return cgi_write_json(kRespJson, object.get());
}

int on_stop_packet_capture(char * /*text*/)
{
    const char *const argv[] = {"killall", "tcpdump", nullptr};
    web_spawn_argv(argv);
    return cgi_writeback_webserver(kRespText, "OK");
}

// An archive that cannot be made or opened answers nothing.
int on_download_packet_capture(char *text)
{
    char dir[kDirSize];
    char name[kCaptureNameSize];
    static char real_dir[PATH_MAX];
    if (!split_capture_path(text, dir, name, real_dir))
        return cgi_error_to_webserver(kRespText);
    char files[3][kCaptureNameSize + 8];
    const int count = rename_capture_files(real_dir, name, files);
    char archive[PATH_MAX];
    snprintf(archive, sizeof archive, "%s/%s", real_dir, kArchiveName);
    unlink(archive);
    if (count > 0 && pack_capture(real_dir, archive, files, count)) {
        if (FILE *file = fopen(archive, "rb")) {
            send_archive(file);
            fclose(file);
        }
    }
    unlink(archive);
    for (int i = 0; i < count; ++i) {
        char path[PATH_MAX];
        snprintf(path, sizeof path, "%s/%s", real_dir, files[i]);
        unlink(path);
    }
    return 0;
}
