// Core request/reply channel: one connection per request, a send retried
// while the daemon cannot be reached, and a wait that ends as soon as a
// decoder reports its reply or when the code's limit has passed.
#include "core/ipc.h"

#include <chrono>
#include <cstdint>
#include <thread>

#include "core/ipc_timing.h"
#include "front/web_utils.h"
#include "platform/fslog/zqfs_log.h"

std::atomic<int> g_callback_done{0};

namespace {

constexpr int kDefaultPolls = 1000;

int32_t read_le32(const char *at)
{
    const auto *bytes = reinterpret_cast<const unsigned char *>(at);
    return static_cast<int32_t>(static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
                                static_cast<uint32_t>(bytes[2]) << 16 |
                                static_cast<uint32_t>(bytes[3]) << 24);
}

void pause_ms(int milliseconds)
{
    if (milliseconds > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

bool reply_handled() { return g_callback_done.load() != 0; }

// Reads replies until a decoder has set g_callback_done or `polls` poll
// steps have passed; the wait ends as soon as the flag is set.
void wait_for_reply(int polls, int poll_ms) { zq_sock_wait(polls * poll_ms, reply_handled); }

} // namespace

void cgi_set_callback_done(int value) { g_callback_done.store(value); }

int cgi_ipc_wait_polls(int code)
{
    switch (code) {
    case 3700:
    case 3702:
        return 1500;
    case 1153:
    case 1171:
    case 3102:
    case 3104:
    case 3223:
    case 3259:
    case 3263:
    case 3360:
    case 3365:
    case 3401:
    case 3535:
        return 3000;
    case 1701:
    case 1713:
    case 1716:
    case 3200:
    case 3201:
    case 3202:
    case 3203:
    case 3204:
    case 3205:
    case 3227:
    case 3402:
    case 3409:
    case 3420:
    case 3440:
    case 3528:
        return 6000;
    case 3230:
    case 3350:
    case 3434:
    case 3494:
    case 3495:
        return 15000;
    case 3379:
        return 30000;
    default:
        return kDefaultPolls;
    }
}

int cgi_start_ipc(IpcCallback callback, int code, int length, const void *payload, int no_wait)
{
    if (callback == nullptr)
        return -1;
    // A payload the library would refuse at every attempt is a caller's
    // mistake, not a daemon that is late: fail at once instead of retrying.
    if (length < 0 || (length > 0 && payload == nullptr))
        return -1;
    zq_sock_init(callback, 0, 3, kCoreSocketPath);
    cgi_set_callback_done(0);

    const IpcTiming timing = ipc_timing();
    const uint32_t flags = no_wait == 1 ? kMsgFlagNoReply : 0;
    for (int attempt = 0; attempt < timing.send_attempts; ++attempt) {
        if (zq_sock_send_msg_flags(code, payload, length, flags) == 0)
            break;
        pause_ms(timing.send_pause_ms);
    }
    if (no_wait == 1)
        return 0;
    wait_for_reply(cgi_ipc_wait_polls(code), timing.poll_ms);
    return 0;
}

int cgi_stop_ipc()
{
    zq_sock_uninit();
    return 0;
}

int cgi_ipc_request(IpcCallback callback, int code, int length, const void *payload, int error_kind)
{
    const int started = cgi_start_ipc(callback, code, length, payload, 0);
    // Closed before the flag is judged: a reply that comes after the wait
    // can then no longer write a second response behind the error.
    cgi_stop_ipc();
    const int done = started == 0 ? g_callback_done.load() : 0;
    if (done == 0)
        cgi_error_to_webserver(error_kind);
    return done;
}

int cgi_ipc_notify(IpcCallback callback, int code, int length, const void *payload)
{
    const int started = cgi_start_ipc(callback, code, length, payload, 1);
    cgi_stop_ipc();
    return started;
}

int cgi_send_log_info(const LogRecord *record)
{
    if (record == nullptr)
        return -1;
    return cgi_ipc_notify(on_aging_callback, kCoreMsgOperationLog, sizeof(LogRecord), record);
}

int cgi_send_operation_log(int sub_type, int param_code, int object, int detail_kind, const void *detail,
                           int detail_length)
{
    LogRecord record;
    cgi_init_log_info(&record);
    record.sub_type = sub_type;
    record.param_code = param_code;
    record.object = object;
    if (detail != nullptr)
        zqfs_log_pack_detail(&record, detail_kind, detail, detail_length);
    return cgi_send_log_info(&record);
}

int cgi_send_copy_log_info(const LogRecord *record, uint64_t mask)
{
    if (record == nullptr)
        return -1;
#pragma pack(push, 1)
    struct CopyLog {
        LogRecord record;
        uint32_t mask_low;
        uint32_t mask_high;
    };
#pragma pack(pop)
    static_assert(sizeof(CopyLog) == 680);
    const CopyLog log{*record, static_cast<uint32_t>(mask), static_cast<uint32_t>(mask >> 32)};
    return cgi_ipc_notify(on_aging_callback, kCoreMsgCopyLog, sizeof log, &log);
}

int on_aging_callback(void *, const char *, const char *) { return 0; }

int setlang_callback(void *, const char *, const char *) { return 0; }

int ipc_reply_code(const char *header) { return header != nullptr ? read_le32(header + kMsgOffCode) : 0; }

unsigned ipc_reply_size(const char *header)
{
    return header != nullptr ? static_cast<unsigned>(read_le32(header + kMsgOffSize)) : 0;
}
