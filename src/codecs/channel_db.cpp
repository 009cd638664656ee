#include "codecs/channel_db.h"

#include <cstring>

#include "core/reply_reader.h"
#include "platform/confdb/confdb.h"

namespace {

template <typename Record> int read_channel_record(const char *db, int kind, Record *record, int chnid)
{
    if (!camera_channel_valid(chnid)) {
        memset(record, 0, sizeof *record);
        return kRecAbsent;
    }
    return confdb_read_record(db, kind, chnid, record, sizeof *record);
}

template <typename Record> int write_channel_record(const char *db, int kind, const Record *record, int chnid)
{
    if (!camera_channel_valid(chnid))
        return -1;
    return confdb_write_record(db, kind, chnid, record, sizeof *record);
}

} // namespace

bool camera_channel_valid(int chnid) { return chnid >= 0 && chnid < kCameraChannels; }

int read_max_cameras(const char *db)
{
    constexpr int kMaxCamerasDefault = 32;
    return clamp_count(get_param_int(db, "max_cameras", kMaxCamerasDefault), kCameraChannels);
}

int read_camera(const char *db, camera_record *record, int chnid)
{
    return read_channel_record(db, kRecCamera, record, chnid);
}

int write_camera(const char *db, const camera_record *record)
{
    return write_channel_record(db, kRecCamera, record, record->id);
}

int read_osd(const char *db, osd_record *record, int chnid)
{
    return read_channel_record(db, kRecOsd, record, chnid);
}

int write_osd(const char *db, const osd_record *record)
{
    return write_channel_record(db, kRecOsd, record, record->camId);
}

int read_privacy_mask(const char *db, privacy_mask_record *record, int chnid)
{
    return read_channel_record(db, kRecPrivacyMask, record, chnid);
}

int write_privacy_mask(const char *db, const privacy_mask_record *record)
{
    return write_channel_record(db, kRecPrivacyMask, record, record->id);
}

int write_camera_ip(const char *db, int chnid, const char *address)
{
    camera_record camera;
    if (!camera_channel_valid(chnid) || read_camera(db, &camera, chnid) < 0)
        return -1;
    camera.id = chnid;
    fill_field_text(camera.ipAddr, sizeof camera.ipAddr, address);
    return write_camera(db, &camera);
}

void read_osd_name(const char *db, int chnid, char *name, size_t size)
{
    osd_record osd;
    read_osd(db, &osd, chnid);
    copy_field_text(name, size, osd.camName, sizeof osd.camName);
}
