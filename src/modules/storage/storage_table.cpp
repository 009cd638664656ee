// The storage module's web resource table.
#include "front/dispatchreq.h"
#include "modules/storage/storage.h"

namespace {

const WebRes storage_web_res[] = {
    {"/6100", on_get_disk_info},       {"/6101", on_set_disk_info}, {"/6102", on_format_disk},
    {"/6103", on_get_format_progress}, {"/6104", on_create_raid},   {"/6105", on_remove_raid},
    {"/6106", on_set_hot_space},       {"/6107", on_rebuild_raid},  {"/6108", on_get_raid_mode},
    {"/6109", on_set_raid_mode},
};

} // namespace

NVR_WEB_TABLE(kWebTableStorage, storage_web_res)
