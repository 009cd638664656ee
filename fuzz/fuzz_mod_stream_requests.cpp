// Feeds arbitrary request texts to the live view and playback resources,
// with no core daemon listening, under a session that may use every
// channel: validation, list gathering and payload building of every
// handler run on whatever the browser could send. Input: one byte choosing
// the resource, then the request text.
#include <sys/stat.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/ipc_timing.h"
#include "front/session.h"
#include "support/fuzz_root.h"

namespace {

const char *const kPaths[] = {"/3000", "/3001", "/3002", "/3003", "/3004", "/4000", "/4001", "/4002", "/4003",
                              "/4004", "/4005", "/4006", "/4007", "/4008", "/4009", "/4010", "/4011", "/4012",
                              "/4014", "/4015", "/4016", "/4017", "/4018", "/4020", "/4021", "/4022", "/4023",
                              "/4024", "/4025", "/4026", "/4013", "/4019", "/4027"};

// A session of an account with every right and channel, so that the
// handlers go past their channel checks.
void log_in()
{
    const std::string root = getenv("NVR_ROOT");
    mkdir((root + "/dev").c_str(), 0755);
    mkdir((root + "/dev/shm").c_str(), 0755);
    SessionLogin login{"admin", "192.0.2.7", 0, 0, kSessionIdleDefault, {}};
    memset(login.access.rights, 1, sizeof login.access.rights);
    memset(login.access.liveview, '1', kSessionChannels - 1);
    memset(login.access.playback, '1', kSessionChannels - 1);
    char id[kSessionIdDigits + 1];
    if (session_create(login, id) != 0)
        abort();
    const std::string cookie = std::string("userName=admin; sessionId=") + id;
    if (!session_check_cookie(cookie.c_str()))
        abort();
}

} // namespace

// No daemon: one send attempt and no wait, so each input costs no time.
IpcTiming ipc_timing() { return IpcTiming{0, 0, 1}; }

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz_use_private_root();
    log_in();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz_dispatch_input(kPaths, sizeof kPaths / sizeof kPaths[0], data, size);
    return 0;
}
