#include "front/dispatchreq.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include "front/web_utils.h"

namespace {

struct TableList {
    int count;
    WebTableInfo tables[kMaxWebTables];
};

TableList g_tables;

// A path as one 64-bit word: its (at most 7) characters zero-padded to the
// width of the path field, first character highest, so that words order as
// the paths do. Every request scans the registry and every table is removed
// at exit, so comparisons are one word each, not a string walk.
using PathKey = uint64_t;

struct Registry {
    int count;
    int high;       // one past the highest slot ever used
    int first_free; // no slot below it is free, so registering starts there
    // Tables whose rows went into consecutive slots, so that removing one
    // (every table at exit) clears its slots without a search. Forgotten
    // whenever rows are removed by path.
    struct Placed {
        const WebRes *table;
        int first;
        int n;
    } placed[kMaxWebTables];
    int placed_count;
    // Each slot points at its row in the registering table (tables outlive
    // their registration), so that registering a row costs a key and a
    // pointer, not a copy: every request registers every table.
    const WebRes *rows[MAX_WEBREQ_COUNT]; // null when free
    PathKey keys[MAX_WEBREQ_COUNT];       // each slot's path as a key, made once (0 when free)
};

Registry g_registry;

PathKey padded_key(const char (&padded)[sizeof(WebRes::path)])
{
    static_assert(sizeof(WebRes::path) == sizeof(PathKey));
    PathKey key;
    memcpy(&key, padded, sizeof key);
    if constexpr (std::endian::native == std::endian::little)
        key = __builtin_bswap64(key);
    return key;
}

bool path_key(const char *path, PathKey *key)
{
    const size_t length = strnlen(path, sizeof(WebRes::path));
    if (length == sizeof(WebRes::path))
        return false; // longer than any registered path
    char padded[sizeof(WebRes::path)] = {};
    memcpy(padded, path, length);
    *key = padded_key(padded);
    return true;
}

// The key of a row's path field: its characters up to the first NUL (the
// bytes after it may be anything in a table filled at run time), found
// without a string walk.
PathKey row_key(const char (&field)[sizeof(WebRes::path)])
{
    uint64_t word;
    memcpy(&word, field, sizeof word);
    if constexpr (std::endian::native == std::endian::big)
        word = __builtin_bswap64(word);
    // The lowest set bit marks the first zero byte exactly (carries only
    // ever flag bytes above a real zero).
    const uint64_t zero_bytes = (word - 0x0101010101010101ULL) & ~word & 0x8080808080808080ULL;
    if (zero_bytes != 0) {
        const int kept_bits = std::countr_zero(zero_bytes) & ~7;
        word = kept_bits == 0 ? 0 : word & (~0ULL >> (64 - kept_bits));
    }
    return __builtin_bswap64(word);
}

PathKey slot_key(int slot) { return g_registry.keys[slot]; }

void clear_slot(int slot)
{
    g_registry.rows[slot] = nullptr;
    g_registry.keys[slot] = 0;
}

// Removes the in-use slots whose keys are among the `n` sorted `keys`. A
// table's paths share their leading digits, so most slots fall outside the
// range of its keys and cost two comparisons.
void unregister_keys(const PathKey *keys, int n)
{
    if (n == 0)
        return;
    for (int slot = 0; slot < g_registry.high; ++slot) {
        if (g_registry.rows[slot] == nullptr)
            continue;
        const PathKey key = slot_key(slot);
        if (key < keys[0] || key > keys[n - 1] || !std::binary_search(keys, keys + n, key))
            continue;
        clear_slot(slot);
        --g_registry.count;
        g_registry.first_free = std::min(g_registry.first_free, slot);
    }
}

// Removes `table` when it was placed whole in consecutive slots: false
// when it was not (or no longer is) known so.
bool remove_placed(const WebRes *table, int n)
{
    for (int index = 0; index < g_registry.placed_count; ++index) {
        const Registry::Placed placed = g_registry.placed[index];
        if (placed.table != table || placed.n != n)
            continue;
        for (int slot = placed.first; slot < placed.first + n; ++slot)
            clear_slot(slot);
        g_registry.count -= n;
        g_registry.first_free = std::min(g_registry.first_free, placed.first);
        g_registry.placed[index] = g_registry.placed[--g_registry.placed_count];
        return true;
    }
    return false;
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
    int slot = g_registry.first_free;
    int first_used = -1;
    for (; slot < MAX_WEBREQ_COUNT && next < n; ++slot) {
        if (g_registry.rows[slot] != nullptr)
            continue;
        if (first_used < 0)
            first_used = slot;
        const WebRes &row = table[next++];
        g_registry.rows[slot] = &row;
        g_registry.keys[slot] = row_key(row.path);
        ++g_registry.count;
        g_registry.high = std::max(g_registry.high, slot + 1);
    }
    g_registry.first_free = slot;
    if (slot - first_used == n && g_registry.placed_count < kMaxWebTables)
        g_registry.placed[g_registry.placed_count++] = {table, first_used, n};
    return 0;
}

int WebResUnregister(const WebRes *table, int n)
{
    if (table == nullptr || n <= 0)
        return -1;
    if (remove_placed(table, n))
        return 0;
    g_registry.placed_count = 0;
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
    for (int slot = 0; slot < g_registry.high; ++slot) {
        if (slot_key(slot) == key && g_registry.rows[slot] != nullptr)
            return g_registry.rows[slot];
    }
    return nullptr;
}

const WebRes *WebResAt(int slot)
{
    if (slot < 0 || slot >= g_registry.high)
        return nullptr;
    return g_registry.rows[slot];
}

int DispatchWebReq(const char *path, char *text)
{
    PathKey key = 0;
    if (path == nullptr || !path_key(path, &key))
        return -1;
    for (int slot = 0; slot < g_registry.high; ++slot) {
        if (slot_key(slot) == key && g_registry.rows[slot] != nullptr)
            return g_registry.rows[slot]->handler(text);
    }
    return -1;
}

int WebTableNote(const WebRes *table, int n, const char *name, const char *file)
{
    if (g_tables.count == kMaxWebTables)
        return -1;
    g_tables.tables[g_tables.count++] = WebTableInfo{table, n, name, file};
    return 0;
}

const WebTableInfo *WebTableAt(int index)
{
    return index >= 0 && index < g_tables.count ? &g_tables.tables[index] : nullptr;
}
