// System module of the demo device: the operation log.
#include <cstdio>
#include <cstring>
#include <ctime>

#include "demo.h"

namespace {

// The oldest entries make room beyond this, as on a device with a full log.
constexpr size_t kMaxLogEntries = 10000;

std::deque<LogRecord> g_operation_log;

// 3485, fire-and-forget: the program leaves the time at 0 and the daemon
// stamps the entry when it arrives.
void on_operation_log(const CoreMessage &request, Answer &)
{
    if (request.payload.size() != sizeof(LogRecord)) {
        fprintf(stderr, "coresim: operation log record of %zu bytes ignored\n", request.payload.size());
        return;
    }
    LogRecord record;
    memcpy(&record, request.payload.data(), sizeof record);
    if (record.time == 0)
        record.time = static_cast<int32_t>(time(nullptr));
    g_operation_log.push_back(record);
    if (g_operation_log.size() > kMaxLogEntries)
        g_operation_log.pop_front();
}

// 3509, fire-and-forget: an operation log record followed by the 64-bit
// channel mask of a copy; the entry is kept like a single one.
void on_copy_log(const CoreMessage &request, Answer &answer)
{
    if (request.payload.size() != sizeof(LogRecord) + 8) {
        fprintf(stderr, "coresim: copy log record of %zu bytes ignored\n", request.payload.size());
        return;
    }
    CoreMessage single = request;
    single.payload.resize(sizeof(LogRecord));
    on_operation_log(single, answer);
}

const DemoRow kSystemRows[] = {
    {3485, on_operation_log},
    {3509, on_copy_log},
};
NVR_DEMO_ROWS(kSystemRows)

} // namespace

const std::deque<LogRecord> &demo_operation_log() { return g_operation_log; }
