#include "front/dispatchreq.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "front/web_utils.h"

namespace {

struct Registry {
    int count;
    WebRes slots[MAX_WEBREQ_COUNT];
    unsigned char in_use[MAX_WEBREQ_COUNT];
};

Registry g_registry;

// A path as one 64-bit word: its (at most 7) characters zero-padded to the
// width of the path field. Every request scans the registry and every table
// is removed at exit, so comparisons are one word each, not a string walk.
using PathKey = uint64_t;

bool path_key(const char *path, PathKey *key)
{
    const size_t length = strnlen(path, sizeof(WebRes::path));
    if (length == sizeof(WebRes::path))
        return false; // longer than any registered path
    char padded[sizeof(WebRes::path)] = {};
    memcpy(padded, path, length);
    memcpy(key, padded, sizeof *key);
    return true;
}

PathKey slot_key(int slot)
{
    PathKey key;
    memcpy(&key, g_registry.slots[slot].path, sizeof key);
    return key;
}

// Removes the in-use slots whose keys are among the `n` sorted `keys`.
void unregister_keys(const PathKey *keys, int n)
{
    for (int slot = 0; slot < MAX_WEBREQ_COUNT; ++slot) {
        if (g_registry.in_use[slot] == 0 || !std::binary_search(keys, keys + n, slot_key(slot)))
            continue;
        g_registry.slots[slot] = WebRes{};
        g_registry.in_use[slot] = 0;
        --g_registry.count;
    }
}

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
        const WebRes &row = table[next++];
        WebRes &entry = g_registry.slots[slot];
        entry = WebRes{};
        // Copied up to its terminator so that the padding is always zero.
        memcpy(entry.path, row.path, strnlen(row.path, sizeof entry.path - 1));
        entry.handler = row.handler;
        g_registry.in_use[slot] = 1;
        ++g_registry.count;
    }
    return 0;
}

int WebResUnregister(const WebRes *table, int n)
{
    if (table == nullptr || n <= 0)
        return -1;
    // Rows are taken in batches of sorted keys, one registry pass a batch.
    PathKey keys[MAX_WEBREQ_COUNT];
    for (int first = 0; first < n; first += MAX_WEBREQ_COUNT) {
        const int batch = std::min(n - first, MAX_WEBREQ_COUNT);
        int used = 0;
        for (int row = first; row < first + batch; ++row) {
            if (path_key(table[row].path, &keys[used]))
                ++used;
        }
        std::sort(keys, keys + used);
        unregister_keys(keys, used);
    }
    return 0;
}

const WebRes *FindWebRes(const char *path)
{
    PathKey key = 0;
    if (path == nullptr || !path_key(path, &key))
        return nullptr;
    for (int slot = 0; slot < MAX_WEBREQ_COUNT; ++slot) {
        if (slot_key(slot) == key)
            return &g_registry.slots[slot];
    }
    return nullptr;
}

int DispatchWebReq(const char *path, char *text)
{
    PathKey key = 0;
    if (path == nullptr || !path_key(path, &key))
        return -1;
    for (int slot = 0; slot < MAX_WEBREQ_COUNT; ++slot) {
        if (g_registry.in_use[slot] != 0 && slot_key(slot) == key)
            return g_registry.slots[slot].handler(text);
    }
    return -1;
}
