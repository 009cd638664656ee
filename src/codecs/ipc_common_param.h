// The camera's generic page parameter: one named value of one page of a
// camera's own settings, read with 3225 and changed with 3226. The camera
// pages and the PTZ speed setting both send it.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int kMsgGetIpcCommonParam = 3225;
constexpr int kMsgSetIpcCommonParam = 3226;

#pragma pack(push, 1)

struct ipc_common_param {
    int32_t channel;
    char pagename[64];
    char httpname[64];
    char key[128];
    char value[128];
    int32_t no_pagename; // 1 when pagename is empty
};
static_assert(sizeof(ipc_common_param) == 392);
static_assert(offsetof(ipc_common_param, httpname) == 68);
static_assert(offsetof(ipc_common_param, key) == 132);
static_assert(offsetof(ipc_common_param, value) == 260);
static_assert(offsetof(ipc_common_param, no_pagename) == 388);

// Reply 8225: the texts one int32 later than in the request.
struct ipc_common_param_reply {
    int32_t channel;
    int32_t reserved;
    char pagename[64];
    char httpname[64];
    char key[128];
    char value[128];
};
static_assert(sizeof(ipc_common_param_reply) == 392);
static_assert(offsetof(ipc_common_param_reply, pagename) == 8);
static_assert(offsetof(ipc_common_param_reply, httpname) == 72);
static_assert(offsetof(ipc_common_param_reply, key) == 136);
static_assert(offsetof(ipc_common_param_reply, value) == 264);

#pragma pack(pop)

// Sets the flag that tells the camera the parameter names no page.
inline void ipc_common_param_mark_page(ipc_common_param *param)
{
    param->no_pagename = param->pagename[0] == '\0' ? 1 : 0;
}
