// The request registry: every web resource (a short path and its handler)
// of every module table, registered before main and dispatched by path.
#pragma once

#include <cstddef>

using WebHandler = int (*)(char *text);

// What a request must hold before a resource's handler runs: nothing (the
// logins and the restart poll), a live session, or a live session whose
// account holds one of the ten right flags (LiveView to Shutdown, in the
// order of the account record's flags). Unset is what a row that forgot its
// right would get: a table with such a row does not build (NVR_WEB_TABLE),
// and the gate refuses it.
enum class WebRight : unsigned char {
    Unset,
    Open,
    Session,
    LiveView,
    Playback,
    Retrieve,
    SmartAnalysis,
    Event,
    Camera,
    Storage,
    Settings,
    Status,
    Shutdown,
};
constexpr int kAccountRights = 10;
// Index of an account right flag (LiveView 0 ... Shutdown 9); -1 for the others.
constexpr int web_right_flag(WebRight right)
{
    const int index = static_cast<int>(right) - static_cast<int>(WebRight::LiveView);
    return index >= 0 && index < kAccountRights ? index : -1;
}

struct WebRes {
    char path[8];
    WebHandler handler;
    WebRight right;
};

template <size_t N> constexpr bool web_table_names_rights(const WebRes (&table)[N])
{
    for (const WebRes &row : table) {
        if (row.right == WebRight::Unset)
            return false;
    }
    return true;
}

constexpr int MAX_WEBREQ_COUNT = 512;

int WebResRegister(const WebRes *table, int n);
int WebResUnregister(const WebRes *table, int n);
const WebRes *FindWebRes(const char *path);
// The resource registered in `slot` (0 to MAX_WEBREQ_COUNT - 1), or null
// for a free slot: for walking the registry.
const WebRes *WebResAt(int slot);
int DispatchWebReq(const char *path, char *text);

// Where the registered tables come from, for the resource catalogue: the
// table's rows, its name and the source file that defines it.
struct WebTableInfo {
    const WebRes *rows;
    int count;
    const char *name;
    const char *file;
};
constexpr int kMaxWebTables = 32;
// Notes a table registered by NVR_WEB_TABLE; -1 when the list is full.
int WebTableNote(const WebRes *table, int n, const char *name, const char *file);
// The `index`th noted table (0 upwards), or null past the last.
const WebTableInfo *WebTableAt(int index);

// Registration order of the module tables: a table's rows occupy registry
// slots after those of every table with a lower number.
enum WebTableOrder {
    kWebTableStorage = 1,
    kWebTableStatus,
    kWebTableVideo,
    kWebTableCamera,
    kWebTableRecord,
    kWebTableNetwork,
    kWebTableStream,
    kWebTablePtz,
    kWebTableSystem,
    kWebTableQuickSettings,
    kWebTableAlarm,
    kWebTableTestOnly = 50,
};

// Registers `table` before main (in WebTableOrder) and removes it after main
// returns. Constructor priorities up to 100 belong to the implementation.
// The table must be constexpr, and every row must name its right.
#define NVR_WEB_TABLE(order, table)                                                                          \
    static_assert(web_table_names_rights(table), "every row of " #table " names its right");                 \
    __attribute__((constructor(200 + (order)))) static void table##_register()                               \
    {                                                                                                        \
        WebTableNote(table, static_cast<int>(sizeof(table) / sizeof((table)[0])), #table, __FILE__);         \
        WebResRegister(table, static_cast<int>(sizeof(table) / sizeof((table)[0])));                         \
    }                                                                                                        \
    __attribute__((destructor(200 + (order)))) static void table##_unregister()                              \
    {                                                                                                        \
        WebResUnregister(table, static_cast<int>(sizeof(table) / sizeof((table)[0])));                       \
    }
