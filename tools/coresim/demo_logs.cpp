// Logs of the demo device: a week of entries of every main type (seeded
// once, newest first in the answers) together with the operation log
// records the program sent, searched by time, type and channel in pages of
// 100, exported to a result file, and the detail text of one entry.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "demo.h"
#include "modules/system/log_records.h"
#include "platform/sysutil/nvr_path.h"

namespace {

constexpr int kSeedEntries = 360;
constexpr int kSeedSpacing = 1680; // seconds: the seed spans a week
constexpr int kMainAll = 1;
constexpr int kSubAll = 10;

struct SeedKind {
    int32_t main_type;
    int32_t sub_type;
    int32_t param_code;
    const char *detail;
};
constexpr SeedKind kSeedKinds[] = {
    {2, 11, 909, "Motion in region 1, sensitivity 5"},
    {2, 12, 909, ""},
    {2, 17, 912, "Video signal lost"},
    {4, 201, 900, "Login from the web, browser \"Firefox\""},
    {4, 204, 914, "Network changed: DHCP off, address 192.168.1.20"},
    {4, 207, 918, "Disk 1 formatted, 1863 GB"},
    {8, 503, 0, "Camera online, model IPC-5021"},
    {8, 505, 0, ""},
    {32, 400, 918, "Disk full, oldest recordings, overwritten"},
    {32, 405, 914, "Address conflict with 00:11:22:33:44:55"},
    {64, 601, 0, "Web request took 812 ms"},
};

std::vector<LogRecord> seed_entries()
{
    std::vector<LogRecord> entries;
    const auto now = static_cast<int32_t>(time(nullptr));
    for (int index = kSeedEntries - 1; index >= 0; --index) {
        const SeedKind &kind = kSeedKinds[index % (sizeof kSeedKinds / sizeof kSeedKinds[0])];
        LogRecord entry{};
        entry.main_type = kind.main_type;
        entry.sub_type = kind.sub_type;
        entry.param_code = kind.param_code;
        entry.time = now - (index + 1) * kSeedSpacing;
        entry.remote = kind.main_type == 4 ? 1 : 0;
        entry.object = index % 4;
        snprintf(entry.client_addr, sizeof entry.client_addr, "%s",
                 index % 3 == 0 ? "::ffff:192.168.1.35" : "192.168.1.20");
        snprintf(entry.user_name, sizeof entry.user_name, "%s", kind.main_type == 4 ? "admin" : "");
        snprintf(entry.detail, sizeof entry.detail, "%s", kind.detail);
        entry.detail_size = static_cast<int32_t>(strlen(kind.detail));
        entries.push_back(entry);
    }
    return entries;
}

const std::vector<LogRecord> &seed()
{
    static const std::vector<LogRecord> entries = seed_entries();
    return entries;
}

bool sub_type_matches(const log_query &query, int64_t sub_type)
{
    const int count = query.sub_type_count < 0                   ? 0
                      : query.sub_type_count > kLogQuerySubTypes ? kLogQuerySubTypes
                                                                 : query.sub_type_count;
    if (count == 0 || query.sub_types[0] == kSubAll)
        return true;
    for (int index = 0; index < count; ++index) {
        if (query.sub_types[index] == sub_type)
            return true;
    }
    return false;
}

bool matches(const log_query &query, const LogRecord &entry)
{
    if (entry.time < query.start_time || entry.time > query.end_time)
        return false;
    if (query.main_type != kMainAll && entry.main_type != query.main_type)
        return false;
    if (query.channel_mask != 0 && entry.main_type == 2 &&
        (entry.object < 0 || entry.object > 63 || (query.channel_mask >> entry.object & 1u) == 0))
        return false;
    return sub_type_matches(query, entry.sub_type);
}

// Every match, newest first.
std::vector<LogRecord> search(const log_query &query)
{
    std::vector<LogRecord> found;
    const std::deque<LogRecord> &sent = demo_operation_log();
    for (auto entry = sent.rbegin(); entry != sent.rend(); ++entry) {
        if (matches(query, *entry))
            found.push_back(*entry);
    }
    for (const LogRecord &entry : seed()) {
        if (matches(query, entry))
            found.push_back(entry);
    }
    return found;
}

// 3495 -> 8495: one page of 100.
void on_log_search(const CoreMessage &request, Answer &answer)
{
    log_query query;
    if (!demo_payload_as(request, &query))
        return;
    const std::vector<LogRecord> found = search(query);
    auto *page = new log_search_reply{};
    page->count = static_cast<int32_t>(found.size());
    const size_t first = query.page > 1 ? static_cast<size_t>(query.page - 1) * kLogPageEntries : 0;
    for (size_t index = first; index < found.size() && page->num < kLogPageEntries; ++index)
        page->entries[page->num++] = found[index];
    answer.push_back(AnswerStep::reply(8495, demo_bytes(page, sizeof *page)));
    delete page;
}

// 3494 -> 8494: the matches written to a result file of the export folder.
void on_log_export(const CoreMessage &request, Answer &answer)
{
    log_query query;
    if (!demo_payload_as(request, &query))
        return;
    static int exports = 0;
    log_export_reply reply{};
    snprintf(reply.path, sizeof reply.path, "/tmp/log/export_%d_%d.dat", static_cast<int>(getpid()),
             ++exports);
    mkdir(NvrPath("/tmp/log").c_str(), 0755);
    FILE *file = fopen(NvrPath(reply.path).c_str(), "wb");
    if (file == nullptr) {
        reply.result = -1;
        reply.path[0] = '\0';
    } else {
        const std::vector<LogRecord> found = search(query);
        const auto count = static_cast<int32_t>(found.size());
        fwrite(&count, sizeof count, 1, file);
        for (const LogRecord &entry : found) {
            log_export_entry row{};
            row.entry = entry;
            memcpy(row.detail, entry.detail, strnlen(entry.detail, sizeof entry.detail));
            fwrite(&row, sizeof row, 1, file);
        }
        fclose(file);
    }
    answer.push_back(AnswerStep::reply(8494, demo_bytes(&reply, sizeof reply)));
}

// 3488 -> 8488: the entry's detail text, or a line made from the entry.
void on_log_detail(const CoreMessage &request, Answer &answer)
{
    LogRecord entry;
    if (!demo_payload_as(request, &entry))
        return;
    std::string text(entry.detail, strnlen(entry.detail, sizeof entry.detail));
    if (text.empty() || static_cast<unsigned char>(text[0]) < ' ') {
        char line[160];
        snprintf(line, sizeof line, "Type %d.%lld, object %d, parameter %d", entry.main_type,
                 static_cast<long long>(entry.sub_type), entry.object, entry.param_code);
        text = line;
    }
    answer.push_back(AnswerStep::reply(8488, text));
}

const DemoRow kLogRows[] = {
    {3488, on_log_detail},
    {3494, on_log_export},
    {3495, on_log_search},
};
NVR_DEMO_ROWS(kLogRows)

} // namespace
