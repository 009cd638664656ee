// The storage module's web resource table.
#include "front/dispatchreq.h"
#include "modules/storage/storage.h"

namespace {

constexpr WebRes storage_web_res[] = {
    {"/6100", on_get_disk_info, WebRight::Storage}, {"/6101", on_set_disk_info, WebRight::Storage},
    {"/6102", on_format_disk, WebRight::Storage},   {"/6103", on_get_format_progress, WebRight::Storage},
    {"/6104", on_create_raid, WebRight::Storage},   {"/6105", on_remove_raid, WebRight::Storage},
    {"/6106", on_set_hot_space, WebRight::Storage}, {"/6107", on_rebuild_raid, WebRight::Storage},
    {"/6108", on_get_raid_mode, WebRight::Storage}, {"/6109", on_set_raid_mode, WebRight::Storage},
};

} // namespace

NVR_WEB_TABLE(kWebTableStorage, storage_web_res)
