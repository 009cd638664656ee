// The request registry: every web resource (a short path and its handler)
// of every module table, registered before main and dispatched by path.
#pragma once

#include <cstddef>

using WebHandler = int (*)(char *text);

struct WebRes {
    char path[8];
    WebHandler handler;
};

constexpr int MAX_WEBREQ_COUNT = 512;

int WebResRegister(const WebRes *table, int n);
int WebResUnregister(const WebRes *table, int n);
const WebRes *FindWebRes(const char *path);
int DispatchWebReq(const char *path, char *text);

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
#define NVR_WEB_TABLE(order, table)                                                                          \
    __attribute__((constructor(200 + (order)))) static void table##_register()                               \
    {                                                                                                        \
        WebResRegister(table, static_cast<int>(sizeof(table) / sizeof((table)[0])));                         \
    }                                                                                                        \
    __attribute__((destructor(200 + (order)))) static void table##_unregister()                              \
    {                                                                                                        \
        WebResUnregister(table, static_cast<int>(sizeof(table) / sizeof((table)[0])));                       \
    }
