#include "front/dispatchreq.h"

#include <cstring>

#include "front/web_utils.h"

namespace {

struct Registry {
    int count;
    WebRes slots[MAX_WEBREQ_COUNT];
    unsigned char in_use[MAX_WEBREQ_COUNT];
};

Registry g_registry;

bool same_path(const char *a, const char *b) { return strncmp(a, b, sizeof(WebRes::path)) == 0; }

} // namespace

int WebResRegister(const WebRes *table, int n)
{
    if (table == nullptr || n <= 0)
        return -1;
    if (g_registry.count + n >= MAX_WEBREQ_COUNT) {
        cgi_log("dispatchreq", __LINE__, "", "[tal debug] WEBREQ exceeded maximum value(MAX_WEBREQ_COUNT)");
        return -1;
    }
    int next = 0;
    for (int slot = 0; slot < MAX_WEBREQ_COUNT && next < n; ++slot) {
        if (g_registry.in_use[slot] != 0)
            continue;
        g_registry.slots[slot] = table[next++];
        g_registry.slots[slot].path[sizeof(WebRes::path) - 1] = '\0';
        g_registry.in_use[slot] = 1;
        ++g_registry.count;
    }
    return 0;
}

int WebResUnregister(const WebRes *table, int n)
{
    if (table == nullptr || n <= 0)
        return -1;
    for (int slot = 0; slot < MAX_WEBREQ_COUNT; ++slot) {
        if (g_registry.in_use[slot] == 0)
            continue;
        for (int row = 0; row < n; ++row) {
            if (!same_path(g_registry.slots[slot].path, table[row].path))
                continue;
            g_registry.slots[slot] = WebRes{};
            g_registry.in_use[slot] = 0;
            --g_registry.count;
            break;
        }
    }
    return 0;
}

const WebRes *FindWebRes(const char *path)
{
    if (path == nullptr)
        return nullptr;
    for (const WebRes &slot : g_registry.slots) {
        if (same_path(slot.path, path))
            return &slot;
    }
    return nullptr;
}

int DispatchWebReq(const char *path, char *text)
{
    if (path == nullptr)
        return -1;
    for (int slot = 0; slot < MAX_WEBREQ_COUNT; ++slot) {
        if (g_registry.in_use[slot] != 0 && same_path(g_registry.slots[slot].path, path))
            return g_registry.slots[slot].handler(text);
    }
    return -1;
}
