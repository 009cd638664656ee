// A table with an early registration number, linked after the late one.
#include "front/dispatchreq.h"

namespace {
int early_handler(char *) { return 1; }
constexpr WebRes early_web_res[] = {{"/early1", early_handler, WebRight::Session},
                                    {"/early2", early_handler, WebRight::Session}};
} // namespace

NVR_WEB_TABLE(kWebTableStorage, early_web_res)
