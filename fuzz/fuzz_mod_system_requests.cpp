// Feeds arbitrary request texts to the device settings and maintenance
// resources of the system module, with no core daemon listening, and
// arbitrary tool output to the readers of the uptime and chip tool output.
// Input: one byte choosing the resource or reader, then the text.
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/ipc_timing.h"
#include "front/cgi_env.h"
#include "front/dispatchreq.h"
#include "modules/system/maintenance_text.h"
#include "platform/sysutil/nvr_path.h"
#include "support/fuzz_root.h"

namespace {

const char *const kPaths[] = {"/1001", "/1012", "/1017", "/6081",   "/3300", "/3301", "/3302",
                              "/3303", "/3304", "/json", "/vb.htm", "/ipc",  "/1002", "/1003",
                              "/1015", "/1021", "/6301", "/1033",   "/1031", "/6311", "/6321",
                              "/6322", "/6323", "/6324", "/6325"};
constexpr size_t kPathCount = sizeof kPaths / sizeof kPaths[0];

// Creates the device folder `path` with its parents; its root path back.
std::string make_device_dir(const char *path)
{
    const std::string dir = NvrPath(path).c_str();
    for (size_t at = 1; at <= dir.size(); ++at) {
        if (at == dir.size() || dir[at] == '/')
            mkdir(dir.substr(0, at).c_str(), 0755);
    }
    return dir;
}

// The database and lock folders, and a language file with page blocks, so
// the handlers get past opening them.
void make_device_root()
{
    make_device_dir("/mnt/nand/app");
    make_device_dir("/tmp");
    const std::string json = make_device_dir("/opt/app/www/webfile/json");
    FILE *file = fopen((json + "/en.json").c_str(), "w");
    if (file == nullptr)
        return;
    fputs("{//live.json\n\"title\": \"Live\",\n}//live.json\n{//setup=disk.json\n\"a\": "
          "\"b\"\n}//setup=disk.json\n",
          file);
    fclose(file);
}

// The tool output readers, and the chip changes a value asks for applied
// to the chip information read from the same text.
void read_tool_output(const std::string &text, bool chip)
{
    char out[kChipInfoSize] = "";
    if (!chip) {
        system_uptime_text(text.c_str(), out, sizeof out);
        return;
    }
    chip_info_from_output(text.c_str(), out, sizeof out);
    ChipChange change;
    if (chip_update_change(text.c_str(), &change))
        chip_apply_change(out, sizeof out, change);
    if (model_update_change(text.c_str(), &change))
        chip_apply_change(out, sizeof out, change);
}

} // namespace

// No daemon: one send attempt and no wait, so each input costs no time.
IpcTiming ipc_timing() { return IpcTiming{0, 0, 1}; }

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz_use_private_root();
    make_device_root();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    std::string text(reinterpret_cast<const char *>(data) + 1, size - 1);
    const size_t choice = data[0] % (kPathCount + 2);
    if (choice >= kPathCount) {
        read_tool_output(text, choice == kPathCount);
        return 0;
    }
    DispatchWebReq(kPaths[choice], text.data());
    return 0;
}
