// Feeds arbitrary kernel tables to the probes that read /proc/net: the
// input is written as one table below a private device root, then every
// probe that reads it runs. Input: one byte choosing the table, then its
// text.
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/netutil/netutil.h"
#include "support/fuzz_root.h"

namespace {

const char *const kTables[] = {"route", "dev", "if_inet6", "ipv6_route", "tcp", "tcp6"};
// Names the tables' lines are likely to hold, the kernel's longest among them.
const char *const kNames[] = {"eth0", "bond0", "lo", "abcdefghijklmno"};

std::string g_dir;

void write_table(const char *name, const uint8_t *data, size_t size)
{
    FILE *file = fopen((g_dir + "/" + name).c_str(), "wb");
    if (file == nullptr)
        return;
    fwrite(data, 1, size, file);
    fclose(file);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz_use_private_root();
    const std::string proc = std::string(getenv("NVR_ROOT")) + "/proc";
    g_dir = proc + "/net";
    mkdir(proc.c_str(), 0700);
    mkdir(g_dir.c_str(), 0700);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    for (const char *table : kTables)
        remove((g_dir + "/" + table).c_str());
    write_table(kTables[data[0] % (sizeof kTables / sizeof kTables[0])], data + 1, size - 1);
    is_port_use(22);
    static uint64_t now_us = 1;
    now_us += 1000;
    for (const char *name : kNames) {
        netconf_info conf;
        if_get_netconf(name, &conf);
        long long rx = 0;
        long long tx = 0;
        if_get_speed_at(name, now_us, &rx, &tx);
        char address[kIpv6AddrText];
        char netmask[kIpv6MaskText];
        for (int flag = 0; flag < 2; ++flag) {
            net_get_ipv6_ifaddr(flag, name, address, netmask);
            net_get_ipv6_gateway2(flag, name, address);
        }
    }
    if_get_netcount();
    return 0;
}
