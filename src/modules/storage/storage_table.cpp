// The storage module's web resource table.
#include "front/dispatchreq.h"
#include "modules/storage/storage.h"

namespace {

constexpr WebRes storage_web_res[] = {
    {"/6100", on_get_disk_info, WebRight::Storage},
    {"/6101", on_set_disk_info, WebRight::Storage},
    {"/6102", on_format_disk, WebRight::Storage},
    {"/6103", on_get_format_progress, WebRight::Storage},
    {"/6104", on_create_raid, WebRight::Storage},
    {"/6105", on_remove_raid, WebRight::Storage},
    {"/6106", on_set_hot_space, WebRight::Storage},
    {"/6107", on_rebuild_raid, WebRight::Storage},
    {"/6108", on_get_raid_mode, WebRight::Storage},
    {"/6109", on_set_raid_mode, WebRight::Storage},
    {"/6200", on_del_disk_nas, WebRight::Storage},
    {"/6201", on_add_disk_nas, WebRight::Storage},
    {"/6202", on_search_disk_nas, WebRight::Storage},
    {"/6203", on_update_disk_nas, WebRight::Storage},
    {"/6204", on_set_recycle_mode, WebRight::Storage},
    {"/6205", on_get_recycle_mode, WebRight::Storage},
    {"/6206", on_get_smart_attr, WebRight::Storage},
    {"/6207", on_remove_disk, WebRight::Storage},
    {"/6208", on_get_quota_info, WebRight::Storage},
    {"/6209", on_set_quota_info, WebRight::Storage},
    {"/6210", on_set_disk_group, WebRight::Storage},
    {"/6220", on_get_esata_auto_backup, WebRight::Storage},
    {"/6221", on_set_esata_auto_backup, WebRight::Storage},
    {"/6222", on_get_esata_auto_backup_status, WebRight::Storage},
    {"/6223", on_get_export_disk_info, WebRight::Storage},
    {"/6224", on_format_esata_disk, WebRight::Storage},
    {"/6225", on_cgi_get_auto_backup_status, WebRight::Storage},
    {"/6226", on_cgi_set_auto_backup_stop, WebRight::Storage},
    {"/6227", on_cgi_get_format_info, WebRight::Storage},
};

} // namespace

NVR_WEB_TABLE(kWebTableStorage, storage_web_res)
