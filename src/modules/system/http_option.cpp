// Maintenance options: "/vb.htm" runs named options given as name=value
// pairs (or one option that needs no value), each answering for itself;
// "/dw.cgi" refuses downloads.
#include <cstdio>
#include <cstring>

#include "codecs/params.h"
#include "core/ipc.h"
#include "front/access_gate.h"
#include "front/web_utils.h"
#include "modules/system/device_info.h"
#include "modules/system/device_records.h"
#include "modules/system/maintenance_text.h"
#include "platform/confdb/confdb.h"

namespace {

constexpr int kMaxOptions = 64;
constexpr size_t kVersionSize = 256;

using OptionHandler = int (*)(const KeyValueRecord &option);

// One maintenance option. Options that change the device's identity or
// branding need the right of the other maintenance operations.
struct HttpOption {
    const char *name;
    OptionHandler handler;
    WebRight right;
};

int on_option_setlang(const KeyValueRecord &option)
{
    int language = 0;
    if (!param_text_int(option.value, &language))
        return cgi_writeback_webserver(kRespText, "PARAM ERROR");
    const int32_t payload = language;
    cgi_ipc_notify(setlang_callback, kMsgSetLanguage, sizeof payload, &payload);
    return cgi_writeback_webserver(kRespText, "OK");
}

int on_option_setdefault(const KeyValueRecord & /*option*/) { return 0; }

int store_option_key(const char *key, const char *value)
{
    if (system_store_or_add(key, value) != 0)
        return cgi_writeback_webserver(kRespText, "ERROR");
    return cgi_writeback_webserver(kRespText, "OK");
}

int on_option_decode(const KeyValueRecord &option) { return store_option_key("decode", option.value); }

int on_option_hotplug(const KeyValueRecord &option) { return store_option_key("hdmihotplug", option.value); }

int on_option_softversion(const KeyValueRecord & /*option*/)
{
    char version[kVersionSize];
    get_param_value(ZQDB_PATH, "software_version", version, sizeof version, "7x.7.0.9");
    return cgi_writeback_webserver(kRespText, version);
}

constexpr HttpOption HttpOptionTable[] = {
    {"setlang", on_option_setlang, WebRight::Settings},
    {"setdefault", on_option_setdefault, WebRight::Settings},
    {"decode", on_option_decode, WebRight::Settings},
    {"hotplug", on_option_hotplug, WebRight::Settings},
    {"oemclean", on_option_oemclean, WebRight::Shutdown},
    {"paratest", on_option_paratest, WebRight::Settings},
    {"chipupdate", on_option_chipupdate, WebRight::Shutdown},
    {"modelupdate", on_option_modelupdate, WebRight::Shutdown},
    {"softversion", on_option_softversion, WebRight::Settings},
};
constexpr int kOptionCount = sizeof HttpOptionTable / sizeof HttpOptionTable[0];

// Options that may be given by their name alone.
constexpr int kNoArgSlots = 10;
constexpr char HTTP_OPTION_NO_ARG[kNoArgSlots][64] = {"oemclean", "zorvik", "debug", "softversion"};

// The option table by name: each bucket heads a chain of rows, later rows
// of a bucket in front.
struct OptionEntry {
    const HttpOption *option;
    OptionEntry *next;
};
struct OptionHash {
    OptionEntry *buckets[kOptionBuckets];
    OptionEntry entries[kOptionCount];
    int used;
};

int hash_insert_entry(OptionHash *hash, const HttpOption *option)
{
    if (hash->used >= kOptionCount)
        return -1;
    OptionEntry *entry = &hash->entries[hash->used++];
    const int bucket = hash_cal_value(option->name);
    entry->option = option;
    entry->next = hash->buckets[bucket];
    hash->buckets[bucket] = entry;
    return 0;
}

int hash_table_init(OptionHash *hash)
{
    *hash = OptionHash{};
    for (const HttpOption &option : HttpOptionTable) {
        if (hash_insert_entry(hash, &option) != 0)
            return -1;
    }
    return 0;
}

void hash_table_destory(OptionHash *hash) { *hash = OptionHash{}; }

const HttpOption *http_option_search(const OptionHash &hash, const char *name)
{
    for (const OptionEntry *entry = hash.buckets[hash_cal_value(name)]; entry != nullptr;
         entry = entry->next) {
        if (strcmp(entry->option->name, name) == 0)
            return entry->option;
    }
    return nullptr;
}

int is_httpoption_no_arg(const char *name)
{
    for (const char(&slot)[64] : HTTP_OPTION_NO_ARG) {
        if (strcmp(slot, name) == 0)
            return 1;
    }
    return 0;
}

// The records of an option text; 0 when it holds none or cannot be split.
int split_options(const char *text, KeyValueRecord *records)
{
    if (is_httpoption_no_arg(text) != 0) {
        snprintf(records[0].name, sizeof records[0].name, "%s", text);
        snprintf(records[0].value, sizeof records[0].value, "1");
        return 1;
    }
    const int count = get_httpoption_argnum(text);
    if (count <= 0 || count > kMaxOptions || ui_decodeing(text, records, count) != 0)
        return 0;
    return count;
}

// The session must hold the right of every option that will run, before
// any of them runs.
bool options_admitted(const OptionHash &hash, const KeyValueRecord *records, int count)
{
    for (int index = 0; index < count; ++index) {
        const HttpOption *option = http_option_search(hash, records[index].name);
        if (option == nullptr)
            return true;
        if (!cgi_right_admits(option->right))
            return false;
    }
    return true;
}

} // namespace

int on_http_option(char *text)
{
    OptionHash hash;
    if (text == nullptr || hash_table_init(&hash) != 0)
        return cgi_writeback_webserver(kRespText, "ERROR");
    KeyValueRecord records[kMaxOptions] = {};
    const int count = split_options(text, records);
    if (count == 0) {
        hash_table_destory(&hash);
        return cgi_writeback_webserver(kRespText, "PARAM ERROR");
    }
    if (options_admitted(hash, records, count)) {
        for (int index = 0; index < count; ++index) {
            const HttpOption *option = http_option_search(hash, records[index].name);
            if (option == nullptr) {
                cgi_writeback_webserver(kRespText, "ERROR");
                break;
            }
            option->handler(records[index]);
        }
    }
    hash_table_destory(&hash);
    return 0;
}

int on_dw_refuse(char * /*text*/) { return cgi_writeback_webserver(kRespText, "NG download"); }
