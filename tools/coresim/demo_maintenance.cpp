// Maintenance of the demo device: restore requests are recorded (and told on
// the standard error), never acted on, so the demo keeps its settings; the
// restart that follows is demo_device.cpp's, recorded the same way.
#include <cstdio>

#include "demo.h"

namespace {

struct RestoreRequest {
    int32_t keep_ip;
    int32_t keep_user;
};

int g_restores = 0;

// 3311, fire-and-forget: what a restore would keep.
void on_restore(const CoreMessage &request, Answer &)
{
    RestoreRequest restore;
    if (!demo_payload_as(request, &restore)) {
        fprintf(stderr, "coresim: restore request of %zu bytes ignored\n", request.payload.size());
        return;
    }
    ++g_restores;
    fprintf(stderr, "coresim: restore %d requested (keep network %d, keep accounts %d), not performed\n",
            g_restores, restore.keep_ip, restore.keep_user);
}

// 3410, fire-and-forget: the daemon's own clean-up of a restore.
void on_restore_cleanup(const CoreMessage &, Answer &) {}

const DemoRow kMaintenanceRows[] = {
    {3311, on_restore},
    {3410, on_restore_cleanup},
};
NVR_DEMO_ROWS(kMaintenanceRows)

} // namespace
