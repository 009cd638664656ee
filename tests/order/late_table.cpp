// A table with a late registration number, linked before the early one.
#include "front/dispatchreq.h"

namespace {
int late_handler(char *) { return 2; }
constexpr WebRes late_web_res[] = {{"/late1", late_handler, WebRight::Session},
                                   {"/late2", late_handler, WebRight::Session}};
} // namespace

NVR_WEB_TABLE(kWebTableAlarm, late_web_res)
