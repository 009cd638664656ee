// Demo data of the storage and status pages: the NFS share of the demo
// recorder, two disk groups with the disks recorded to them, and the eSATA
// disk's nightly backup.
#include <cstdio>

#include "codecs/disk_db.h"
#include "modules/storage/storage_records.h"
#include "nvrconf.h"
#include "nvrconf_demo.h"
#include "platform/confdb/confdb.h"

namespace {

disk_record demo_disk(int32_t port, int32_t group)
{
    disk_record disk{};
    disk.port_id = port;
    disk.enable = 1;
    disk.group = group;
    disk.property = 1;
    return disk;
}

disk_record demo_share()
{
    disk_record share = demo_disk(20, 1);
    snprintf(share.vendor, sizeof share.vendor, "NFS");
    snprintf(share.address, sizeof share.address, "192.168.1.50");
    snprintf(share.directory, sizeof share.directory, "/export/nvr");
    share.disk_type = kDiskTypeNfs;
    return share;
}

disk_group_record demo_group(int32_t id, const char *channels)
{
    disk_group_record group{};
    group.group_id = id;
    snprintf(group.channel, sizeof group.channel, "%s", channels);
    return group;
}

esata_backup_record demo_backup()
{
    esata_backup_record backup{};
    backup.enable = 1;
    snprintf(backup.backupTime, sizeof backup.backupTime, "02:30");
    backup.streamType = 1;
    backup.fileType = 0;
    backup.recycle = 1;
    snprintf(backup.channel, sizeof backup.channel, "1111000000000000");
    backup.device = 1;
    backup.port = 30;
    return backup;
}

} // namespace

int add_demo_storage()
{
    const disk_record disks[] = {demo_disk(1, 0), demo_disk(2, 1), demo_share()};
    for (const disk_record &disk : disks) {
        if (store_if_absent(kRecDisk, disk.port_id, &disk, sizeof disk) != 0)
            return -1;
    }
    const disk_group_record groups[] = {demo_group(1, "1111000000000000"), demo_group(2, "0000111100000000")};
    for (int i = 0; i < 2; ++i) {
        if (store_if_absent(kRecDiskGroup, i, &groups[i], sizeof groups[i]) != 0)
            return -1;
    }
    const esata_backup_record backup = demo_backup();
    if (store_if_absent(kRecEsataBackup, 0, &backup, sizeof backup) != 0)
        return -1;
    return add_param_value(ZQDB_PATH, "group_mode", "1");
}
