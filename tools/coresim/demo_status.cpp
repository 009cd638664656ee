// Status module of the demo device.
#include "demo.h"

namespace {

// Storage usage counters of the demo recorder (3306 -> 8306).
struct Usage {
    int32_t total = 1863;
    int32_t used = 612;
};
Usage g_usage;

void on_usage(const CoreMessage &, Answer &answer)
{
    answer.push_back(
        AnswerStep::reply(8306, demo_int32s({g_usage.total, g_usage.total - g_usage.used, g_usage.used})));
}

const DemoRow kStatusRows[] = {
    {3306, on_usage},
};
NVR_DEMO_ROWS(kStatusRows)

} // namespace
