// Feeds arbitrary replies to every module's reply callback. Input: one byte
// choosing the callback, one choosing a reply code (or four bytes of a raw
// code), then the payload.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/ipc.h"
#include "front/cgi_env.h"
#include "modules/alarm/alarm.h"
#include "modules/camera/camera.h"
#include "modules/record/record.h"
#include "modules/network/network.h"
#include "modules/ptz/ptz.h"
#include "modules/status/status.h"
#include "modules/stream/stream.h"
#include "modules/storage/storage.h"
#include "modules/system/online_upgrade.h"
#include "modules/system/system.h"
#include "modules/video/video.h"
#include "platform/msgsock/msgsock.h"
#include "support/fuzz_root.h"

namespace {

const IpcCallback kCallbacks[] = {on_status_ipc_callback, on_storage_ipc_callback, on_system_ipc_callback,
                                  on_video_ipc_callback,  on_camera_ipc_callback,  on_stream_callback,
                                  on_record_ipc_callback, on_network_ipc_callback, on_alarm_ipc_callback,
                                  on_ptz_ipc_callback,    on_upgrade_ipc_callback};

// Reply codes the modules decode, so most inputs reach a decoder.
const int32_t kCodes[] = {
    8306, 8433, 8434, 8402, 8420, 8421, 8423, 8424, 8425, 8435, 8504, 8265, 6719, 8263, 8300, 8301, 8302,
    8305, 8206, 8381, 6216, 6423, 8222, 8372, 8202, 8205, 8200, 8201, 8203, 8204, 8230, 8493, 8002, 9011,
    6153, 6159, 6161, 6162, 6171, 6176, 6177, 8103, 8500, 8502, 8503, 8506, 6148, 8501, 7285, 7286, 8218,
    8221, 8223, 8224, 8225, 8226, 8271, 8273, 8275, 8277, 8278, 8358, 8366, 8360, 6724, 6729, 8005, 8006,
    8400, 8298, 8296, 8211, 8210, 7502, 7503, 8353, 6701, 8309, 8409, 8700, 8701, 8702, 7302, 8316, 8318,
    6262, 6265, 6268, 6270, 6271, 8361, 8363, 9002, 9003, 9004, 8307, 7505, 7507, 8294, 6213, 6217, 6219,
    8371, 8376, 8377, 8385, 8379, 8386, 8375, 6218, 6173, 8488, 8494, 8495, 8496, 8507, 8508, 8439, 8440,
    8403, 8431, 8475, 8457, 8529, 8530, 8536, 6316, 8535, 8537, 6317, 8540, // smart analytics
    8237, 8238, 8239, 8240, 8241, 8242, 8243, 8244, 8248, 8253, 8254, 8257, 8259, 8260, 8261, 8268, 8269,
    6209, 6210, 6211, 6212, 8528, 9012, 9013, 9014, 9015, 9016,
    // Online and camera firmware upgrades.
    8350, 6716, 6717, 6715, 6713, 8365, 8213, 8215, 8231, 8232, 8373, 8374, 6220, 6221, 8289, 8290, 8293,
    6207, 6208, 6215, 7290, 7291, 7292, 7293, 6421};

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz_use_private_root();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    const IpcCallback callback = kCallbacks[data[0] % (sizeof kCallbacks / sizeof kCallbacks[0])];
    size_t at = 2;
    int32_t code = kCodes[data[1] % (sizeof kCodes / sizeof kCodes[0])];
    if (data[1] == 0xff && size >= 6) {
        memcpy(&code, data + 2, sizeof code);
        at = 6;
    }
    // The payload in a buffer of its own size, so any read past it is seen.
    std::vector<char> payload(data + at, data + size);
    MsgHeader header{1, 0, code, static_cast<uint32_t>(payload.size())};
    unsigned char header_bytes[kMsgHeaderSize];
    msg_header_encode(header, header_bytes);
    g_callback_done.store(0);
    callback(nullptr, reinterpret_cast<const char *>(header_bytes), payload.empty() ? "" : payload.data());
    return 0;
}
