// Logs: the search page ("/1002"), the CSV export ("/1003") with its running
// marker ("/1022"), one entry's details ("/1021") and the catalogue of log
// types ("/1015").
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "codecs/channel_mask.h"
#include "codecs/json_util.h"
#include "codecs/network_db.h"
#include "codecs/params.h"
#include "core/ipc.h"
#include "front/cgi_upload.h"
#include "front/web_utils.h"
#include "modules/system/device_info.h"
#include "modules/system/log_text.h"
#include "modules/system/logs.h"
#include "modules/system/system.h"
#include "platform/confdb/confdb.h"
#include "platform/fslog/zqfs_log.h"
#include "platform/sysutil/nvr_path.h"
#include "platform/trans/trans.h"

namespace {

constexpr const char *kExportMarker = "/tmp/log/log_web";
constexpr const char *kExportFolder = "/tmp/log/";
constexpr size_t kLanguageSize = 32;
constexpr size_t kLogTypesLanguage = 16;
constexpr int kMainTypeLowest = 1;
constexpr int kMainTypeHighest = 64;
constexpr int kMainOperation = 4;
constexpr int kSubTypeAll = 10;
constexpr int kOperationElements = 3;
constexpr int kOemShowsPir = 90;
constexpr size_t kRowsPerWindow = 256; // entries mapped at a time (1.2 MB)
constexpr size_t kRowsPerFlush = 64;
constexpr size_t kRowsAhead = 4; // entries prefetched ahead of the row being written

// Kept between a handler and its decoder.
char g_language[kLanguageSize];
int g_page_number;
int g_export_main_type;

bool parse_log_time(json_object *request, const char *key, const char *format, int32_t *out)
{
    const char *text = json_member_text(request, key);
    struct tm when {};
    if (text == nullptr || strptime(text, format, &when) == nullptr)
        return false;
    when.tm_isdst = -1;
    *out = static_cast<int32_t>(mktime(&when));
    return true;
}

// The validation both queries share; fills the times, the main type, the
// sub types as sent and the kept language.
bool check_log_query(json_object *request, const char *time_format, log_query *query)
{
    const char *language = json_member_text(request, "language");
    json_object *sub_types = json_value_array(json_get_member(request, "subTypeArr"));
    int first_sub_type = 0;
    int page = 0;
    if (language == nullptr ||
        !json_int_within(request, "mainType", kMainTypeLowest, kMainTypeHighest, &query->main_type) ||
        !json_value_int(json_array_item(sub_types, 0), &first_sub_type) || first_sub_type < kSubTypeAll ||
        !parse_log_time(request, "startTime", time_format, &query->start_time) ||
        !parse_log_time(request, "endTime", time_format, &query->end_time) ||
        !json_int_present(request, "curPageNum", &page))
        return false;
    snprintf(g_language, sizeof g_language, "%s", language);
    query->page = page;
    const size_t count = json_array_size(sub_types);
    for (size_t index = 0; index < count && query->sub_type_count < kLogQuerySubTypes; ++index) {
        int value = 0;
        if (json_value_int(json_array_item(sub_types, index), &value))
            query->sub_types[query->sub_type_count++] = value;
    }
    return true;
}

// An export of operations that names sub type groups asks for the sub types
// of their bits.
void expand_operation_sub_types(json_object *request, log_query *query)
{
    if (query->main_type != kMainOperation || query->sub_types[0] == kSubTypeAll)
        return;
    json_object *sub_types = json_value_array(json_get_member(request, "subTypeArr"));
    int values[kOperationElements] = {kSubTypeAll, kSubTypeAll, kSubTypeAll};
    for (size_t index = 0; index < kOperationElements; ++index)
        json_value_int(json_array_item(sub_types, index), &values[index]);
    memset(query->sub_types, 0, sizeof query->sub_types);
    query->sub_type_count =
        log_operation_sub_types(values, kOperationElements, query->sub_types, kLogQuerySubTypes);
}

// "ch": the channel mask as a decimal number, sent as a number or a text.
uint64_t export_channel_mask(json_object *request)
{
    json_object *value = json_get_member(request, "ch");
    if (json_object_is_type(value, json_type_int))
        return static_cast<uint64_t>(json_object_get_int64(value));
    const char *text = json_value_text(value);
    return text != nullptr ? strtoull(text, nullptr, 10) : 0;
}

void translate(int code, char *out) { trans_get_value(code, out, kTransValueSize); }

json_object *log_entry_json(int number, const LogRecord &entry)
{
    json_object *item = json_object_new_object();
    char text[kTransValueSize];
    const auto sub_type = static_cast<int32_t>(entry.sub_type);
    json_add_int(item, "no", number);
    json_add_int(item, "mainTypeValue", entry.main_type);
    translate(log_main_trans_code(entry.main_type), text);
    json_add_string(item, "mainType", text);
    json_add_int(item, "subTypeValue", sub_type);
    translate(sub_type, text);
    json_add_string(item, "subType", text);
    json_add_int(item, "pts", entry.time);
    char time_text[32];
    log_time_text(entry.time, time_text, sizeof time_text);
    json_add_string(item, "ptc", time_text);
    json_add_int(item, "parameterValue", entry.param_code);
    translate(entry.param_code, text);
    json_add_string(item, "parameter", text);
    json_add_int(item, "remote", entry.remote);
    json_add_int(item, "chanNo", entry.object);
    json_add_int(item, "disk", log_channo_is_disk(entry.main_type, entry.sub_type));
    json_add_int(item, "size", entry.detail_size);
    char detail[sizeof entry.detail + 1];
    copy_field_text(detail, sizeof detail, entry.detail, sizeof entry.detail);
    json_add_string(item, "detail", detail);
    int32_t words[kLogDetailWords];
    log_detail_to_words(entry.detail, words);
    json_object *detail2 = json_object_new_array();
    for (const int32_t word : words)
        json_object_array_add(detail2, json_object_new_int(word));
    json_object_object_add(item, "detail2", detail2);
    char ip[sizeof entry.client_addr + 1];
    log_client_ip(entry.client_addr, sizeof entry.client_addr, ip, sizeof ip);
    json_add_string(item, "ip", ip);
    char user[sizeof entry.user_name + 1];
    copy_field_text(user, sizeof user, entry.user_name, sizeof entry.user_name);
    json_add_string(item, "user", user);
    return item;
}

// The result file of an export when the core daemon wrote it where its
// exports go: a plain file directly in the export folder, with its size.
// -1 otherwise.
int open_export_file(const char *device_path, char *real_path, size_t size, off_t *file_size)
{
    const size_t folder = strlen(kExportFolder);
    if (strncmp(device_path, kExportFolder, folder) != 0 || !cgi_upload_name_is_safe(device_path + folder))
        return -1;
    nvr_path(real_path, size, device_path);
    const int fd = open(real_path, O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    struct stat info {};
    if (fd < 0 || fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        if (fd >= 0)
            close(fd);
        return -1;
    }
    *file_size = info.st_size;
    return fd;
}

void write_export_header(int main_type)
{
    char mac[64];
    read_mac_conf(ZQDB_PATH, mac, sizeof mac);
    for (char *at = mac; *at != '\0'; ++at) {
        if (strchr("\r\n;\"", *at) != nullptr)
            *at = '_';
    }
    const time_t now = time(nullptr);
    struct tm local {};
    localtime_r(&now, &local);
    printf("Content-Type:application/octet-stream\r\n"
           "Content-Disposition: attachment; filename= %s_log_%s_%4d%02d%02d%02d%02d%02d.csv\r\n\r\n",
           log_kind_word(main_type), mac, local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
           local.tm_hour, local.tm_min, local.tm_sec);
    fputs("Number,Time,Main,Sub,Parameter,User,Ip,Channel,Log information,\r\n", stdout);
}

// One row from the bytes of one result file entry.
void write_export_row(int number, const char *bytes, CsvRow *row)
{
    // Only the fields before the record's own detail block: the rest of
    // the entry is mostly zeros that need not pass through the cache.
    LogRecord entry{};
    memcpy(&entry, bytes, offsetof(LogRecord, detail));
    const char *row_detail = bytes + offsetof(log_export_entry, detail);
    char text[kTransValueSize];
    log_csv_number(row, number);
    log_time_text(entry.time, text, sizeof text);
    log_csv_field(row, text, false);
    translate(log_main_trans_code(entry.main_type), text);
    log_csv_field(row, text, false);
    translate(static_cast<int32_t>(entry.sub_type), text);
    log_csv_field(row, text, false);
    translate(entry.param_code, text);
    log_csv_field(row, text[0] != '\0' ? text : "N/A", false);
    char user[sizeof entry.user_name + 1];
    copy_field_text(user, sizeof user, entry.user_name, sizeof entry.user_name);
    log_csv_field(row, user, false);
    char ip[sizeof entry.client_addr + 1];
    log_client_ip(entry.client_addr, sizeof entry.client_addr, ip, sizeof ip);
    log_csv_field(row, ip, false);
    log_csv_number(row, entry.object);
    char detail[kLogExportDetail + 1];
    copy_field_text(detail, sizeof detail, row_detail, kLogExportDetail);
    log_csv_field(row, detail[0] != '\0' ? detail : "N/A", true);
    log_csv_end(row, stdout);
}

// The entries lie 4768 bytes apart, too far for the processor to guess:
// the lines a row reads of an entry are asked for a few rows ahead.
void prefetch_entry(const char *bytes)
{
    constexpr size_t kLine = 64;
    for (size_t at = 0; at < offsetof(LogRecord, detail) + kLine; at += kLine)
        __builtin_prefetch(bytes + at);
    __builtin_prefetch(bytes + offsetof(log_export_entry, detail));
}

// Streams the rows of the result file (as many as its count says and it
// holds), mapping one window of entries at a time: memory stays flat and
// the entries' mostly empty detail fields are never copied.
void write_export_rows(int fd, off_t file_size)
{
    int32_t count = 0;
    if (file_size < static_cast<off_t>(sizeof count) || pread(fd, &count, sizeof count, 0) != sizeof count ||
        count <= 0)
        return;
    const auto held =
        static_cast<size_t>(file_size - static_cast<off_t>(sizeof count)) / sizeof(log_export_entry);
    const size_t total = std::min(static_cast<size_t>(count), held);
    const auto page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    static CsvRow row;
    for (size_t first = 0; first < total; first += kRowsPerWindow) {
        const size_t rows = std::min(kRowsPerWindow, total - first);
        const size_t start = sizeof count + first * sizeof(log_export_entry);
        const size_t map_start = start / page * page;
        const size_t map_length = start - map_start + rows * sizeof(log_export_entry);
        void *map = mmap(nullptr, map_length, PROT_READ, MAP_PRIVATE, fd, static_cast<off_t>(map_start));
        if (map == MAP_FAILED)
            return;
        const char *entries = static_cast<const char *>(map) + (start - map_start);
        for (size_t index = 0; index < rows; ++index) {
            if (index + kRowsAhead < rows)
                prefetch_entry(entries + (index + kRowsAhead) * sizeof(log_export_entry));
            write_export_row(static_cast<int>(first + index + 1), entries + index * sizeof(log_export_entry),
                             &row);
            if ((index + 1) % kRowsPerFlush == 0)
                fflush(stdout);
        }
        munmap(map, map_length);
        fflush(stdout);
    }
}

struct SubTypeRange {
    int from;
    int to;
    bool pir_only; // shown only on the devices of one branding
};
constexpr SubTypeRange kEventSubTypes[] = {{11, 14, false}, {15, 16, true},  {17, 30, false}, {33, 36, false},
                                           {38, 41, false}, {37, 37, false}, {42, 44, false}};
constexpr SubTypeRange kOperationSubTypes[] = {{101, 143, false}, {200, 225, false}};
constexpr SubTypeRange kInformationSubTypes[] = {{500, 506, false}, {511, 519, false}};
constexpr SubTypeRange kExceptionSubTypes[] = {{400, 407, false}, {409, 413, false}};
constexpr SubTypeRange kDebugSubTypes[] = {{600, 603, false}};

struct LogTypeCatalogue {
    int main_type;
    const SubTypeRange *ranges;
    size_t range_count;
};
template <size_t N> constexpr LogTypeCatalogue catalogue(int main_type, const SubTypeRange (&ranges)[N])
{
    return {main_type, ranges, N};
}
constexpr LogTypeCatalogue kLogTypes[] = {
    {1, nullptr, 0},
    catalogue(2, kEventSubTypes),
    catalogue(4, kOperationSubTypes),
    catalogue(8, kInformationSubTypes),
    catalogue(32, kExceptionSubTypes),
    catalogue(64, kDebugSubTypes),
};

void add_log_type(json_object *array, int key, int code)
{
    json_object *item = json_object_new_object();
    char name[kTransValueSize];
    translate(code, name);
    json_add_int(item, "key", key);
    json_add_string(item, "name", name);
    json_object_array_add(array, item);
}

json_object *sub_type_list(const LogTypeCatalogue &type, bool show_pir)
{
    json_object *list = json_object_new_array();
    add_log_type(list, kSubTypeAll, kSubTypeAll);
    for (size_t index = 0; index < type.range_count; ++index) {
        const SubTypeRange &range = type.ranges[index];
        if (range.pir_only && !show_pir)
            continue;
        for (int code = range.from; code <= range.to; ++code)
            add_log_type(list, code, code);
    }
    return list;
}

} // namespace

int on_get_log_info(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    log_query query{};
    if (request == nullptr || !check_log_query(request.get(), "%Y-%m-%d %H:%M:%S", &query))
        return cgi_error_to_webserver(kRespJson);
    g_page_number = query.page;
    query.channel_mask = channel_mask_from_text(json_member_text(request.get(), "chnMask"));
    query.no_channel = json_member_int(request.get(), "searchNoChn");
    cgi_ipc_request(on_system_ipc_callback, kMsgLogSearch, sizeof query, &query, kRespJson);
    return 0;
}

int on_log_search_info_cb(const ReplyReader &reply)
{
    if (reply.size() < sizeof(log_search_reply)) {
        cgi_writeback_webserver(kRespJson, "ERROR");
        cgi_set_callback_done(1);
        return 0;
    }
    const int32_t count = reply.int32_at(offsetof(log_search_reply, count));
    const int num = clamp_count(reply.int32_at(offsetof(log_search_reply, num)), kLogPageEntries);
    trans_init(g_language);
    const JsonPtr answer = json_new_object();
    json_object *log = json_object_new_array();
    for (int index = 0; index < num; ++index) {
        LogRecord entry;
        reply.read(offsetof(log_search_reply, entries) + index * sizeof entry, &entry, sizeof entry);
        json_object_array_add(log, log_entry_json(index, entry));
    }
    json_add_int(answer.get(), "count", count);
    json_add_int(answer.get(), "num", num);
    json_add_int(answer.get(), "curPageNum", g_page_number);
    json_object_object_add(answer.get(), "log", log);
    cgi_write_json(kRespJson, answer.get());
    trans_deinit();
    cgi_set_callback_done(1);
    return 0;
}

int on_download_logfile(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    log_query query{};
    if (request == nullptr || !check_log_query(request.get(), "%Y-%m-%dT%H:%M:%S", &query))
        return cgi_error_to_webserver(kRespJson);
    expand_operation_sub_types(request.get(), &query);
    query.channel_mask = export_channel_mask(request.get());
    query.no_channel = json_member_int(request.get(), "na");
    query.page = 1;
    g_export_main_type = query.main_type;
    const NvrPath marker(kExportMarker);
    mkdir(NvrPath("/tmp/log").c_str(), 0755);
    const int fd = open(marker.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    cgi_ipc_request(on_system_ipc_callback, kMsgLogExport, sizeof query, &query, kRespJson);
    if (fd >= 0)
        close(fd);
    unlink(marker.c_str());
    return 0;
}

int on_log_web_export_info_cb(const ReplyReader &reply)
{
    log_export_reply result;
    if (!reply.record(0, &result))
        return 0;
    trans_init(g_language);
    write_export_header(g_export_main_type);
    char device_path[kLogExportPath];
    copy_field_text(device_path, sizeof device_path, result.path, sizeof result.path);
    char real_path[kNvrPathMax];
    off_t file_size = 0;
    const int fd = open_export_file(device_path, real_path, sizeof real_path, &file_size);
    if (fd >= 0) {
        write_export_rows(fd, file_size);
        close(fd);
        unlink(real_path);
    }
    fflush(stdout);
    trans_deinit();
    cgi_set_callback_done(1);
    return 0;
}

int on_get_log_details(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    if (request == nullptr)
        return cgi_error_to_webserver(kRespText);
    json_object *object = request.get();
    LogRecord entry{};
    entry.main_type = json_member_int(object, "mainTypeValue");
    entry.sub_type = json_member_int(object, "subTypeValue");
    entry.time = json_member_int(object, "pts");
    entry.param_code = json_member_int(object, "parameterValue");
    entry.remote = json_member_int(object, "remote");
    entry.object = json_member_int(object, "chanNo");
    entry.detail_size = json_member_int(object, "size");
    fill_field_text(entry.client_addr, sizeof entry.client_addr, json_member_text(object, "ip"));
    fill_field_text(entry.user_name, sizeof entry.user_name, json_member_text(object, "user"));
    json_object *detail2 = json_value_array(json_get_member(object, "detail2"));
    int32_t words[kLogDetailWords] = {};
    for (size_t index = 0; index < kLogDetailWords; ++index) {
        int value = 0;
        if (json_value_int(json_array_item(detail2, index), &value))
            words[index] = value;
    }
    log_detail_from_words(words, entry.detail);
    cgi_ipc_request(on_system_ipc_callback, kMsgLogDetail, sizeof entry, &entry, kRespText);
    return 0;
}

int on_log_detail_cb(const ReplyReader &reply)
{
    const char *payload = reply.bytes(0, reply.size());
    const size_t length = payload != nullptr ? strnlen(payload, reply.size()) : 0;
    if (length == 0) {
        cgi_writeback_webserver(kRespText, "N/A");
    } else {
        char *detail = static_cast<char *>(malloc(length + 1));
        if (detail == nullptr)
            return 0;
        memcpy(detail, payload, length);
        detail[length] = '\0';
        cgi_writeback_webserver(kRespText, detail);
        free(detail);
    }
    cgi_set_callback_done(1);
    return 0;
}

int on_check_download_log(char * /*text*/)
{
    return cgi_writeback_webserver(kRespText,
                                   IsFileExisted(NvrPath(kExportMarker).c_str()) == 0 ? "OK" : "NO");
}

int on_get_log_types(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    if (request == nullptr)
        return cgi_error_to_webserver(kRespJson);
    char language[kLogTypesLanguage] = "";
    on_cgi_get_string_from_json(request.get(), "lan", language, sizeof language);
    trans_init(language);
    const bool show_pir = get_param_int(ZQDB_PATH, "oem_type", 0) == kOemShowsPir;
    const JsonPtr answer = json_new_object();
    json_object *main_types = json_object_new_array();
    json_object *sub_types = json_object_new_array();
    for (const LogTypeCatalogue &type : kLogTypes) {
        add_log_type(main_types, type.main_type, log_main_trans_code(type.main_type));
        json_object_array_add(sub_types, sub_type_list(type, show_pir));
    }
    json_object_object_add(answer.get(), "mainType", main_types);
    json_object_object_add(answer.get(), "subType", sub_types);
    trans_deinit();
    return cgi_write_json(kRespJson, answer.get());
}
