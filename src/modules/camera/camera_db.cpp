// Camera protocol and model records over confdb: one record per protocol
// (kind kRecIpcProtocol) and per model (kind kRecIpcModel), keyed by id;
// and each camera's exposure list (kind kRecIpcExposure, by channel).
#include <cstring>

#include "modules/camera/camera.h"
#include "platform/confdb/confdb.h"

namespace {

constexpr int kModelsMax = 256;

} // namespace

int read_ipc_protocols(const char *db, ipc_protocol_record *out, int capacity)
{
    return confdb_read_records(db, kRecIpcProtocol, out, sizeof *out, capacity, nullptr);
}

int write_ipc_protocol(const char *db, const ipc_protocol_record *record)
{
    return confdb_write_record(db, kRecIpcProtocol, record->id, record, sizeof *record);
}

int read_ipc_models_by_protocol(const char *db, int protocol, ipc_model_record *out, int capacity)
{
    static ipc_model_record all[kModelsMax];
    const int count = confdb_read_records(db, kRecIpcModel, all, sizeof all[0], kModelsMax, nullptr);
    if (count < 0)
        return -1;
    int found = 0;
    for (int index = 0; index < count && found < capacity; ++index)
        if (all[index].protocol == protocol)
            out[found++] = all[index];
    return found;
}

int read_ipc_model(const char *db, ipc_model_record *record, int id)
{
    return confdb_read_record(db, kRecIpcModel, id, record, sizeof *record);
}

int read_exposure(const char *db, ipc_exposure_list *list, int chnid)
{
    if (!camera_channel_valid(chnid)) {
        memset(list, 0, sizeof *list);
        return -1;
    }
    return confdb_read_record(db, kRecIpcExposure, chnid, list, sizeof *list);
}

int write_exposure(const char *db, const ipc_exposure_list *list)
{
    if (!camera_channel_valid(list->chnid))
        return -1;
    return confdb_write_record(db, kRecIpcExposure, list->chnid, list, sizeof *list);
}
