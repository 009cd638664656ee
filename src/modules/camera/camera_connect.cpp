// Connection tests: the core daemon tries to log in to a camera with the
// address and account the browser gives and answers with a verdict, which
// the shared connection-test decoder writes as text.
#include "codecs/json_util.h"
#include "codecs/params.h"
#include "front/web_utils.h"
#include "modules/camera/camera.h"

namespace {

// Cameras are not asked on ports below this by the extended test.
constexpr int32_t kLowestTestPort = 80;

constexpr WireField kConnectFields[] = {
    WIRE_TEXT("ipAddr", ipc_connect_param, ipAddr),
    WIRE_INT("managePort", ipc_connect_param, managePort),
    WIRE_TEXT("userName", ipc_connect_param, userName),
    WIRE_TEXT("password", ipc_connect_param, password),
    WIRE_INT("camProtocol", ipc_connect_param, camProtocol),
};
constexpr WireLayout kConnectLayout = wire_layout(kConnectFields, sizeof(ipc_connect_param));

constexpr WireField kConnectExFields[] = {
    WIRE_TEXT("ipAddr", ipc_connect_param_ex, ipAddr),
    WIRE_INT("managePort", ipc_connect_param_ex, managePort),
    WIRE_TEXT("userName", ipc_connect_param_ex, userName),
    WIRE_TEXT("password", ipc_connect_param_ex, password),
    WIRE_INT("camProtocol", ipc_connect_param_ex, camProtocol),
};
constexpr WireLayout kConnectExLayout = wire_layout(kConnectExFields, sizeof(ipc_connect_param_ex));

// 0 when the request names a camera that can be reached: a non-empty
// address, a port that is not negative and a known protocol; else -1.
int check_ipc_connect_info(json_object *request)
{
    const char *address = json_value_text(json_get_member(request, "ipAddr"));
    if (address == nullptr || *address == '\0')
        return -1;
    int port = -1;
    if (!json_value_int(json_get_member(request, "managePort"), &port) || port < 0)
        return -1;
    int protocol = -1;
    if (!json_value_int(json_get_member(request, "camProtocol"), &protocol) || protocol < 0 ||
        protocol > kCameraProtocolMax)
        return -1;
    return 0;
}

// The parsed request when it passes the check; null otherwise, and the
// handler then answers nothing.
JsonPtr read_connect_request(const char *text)
{
    JsonPtr request(get_request_tokener_json_object(text));
    if (request == nullptr || check_ipc_connect_info(request.get()) != 0)
        return nullptr;
    return request;
}

} // namespace

int on_test_ipc_connect(char *text)
{
    const JsonPtr request = read_connect_request(text);
    if (request == nullptr)
        return -1;
    ipc_connect_param param{};
    relay_fill(request.get(), kConnectLayout, &param);
    relay_request(kMsgTestConnect, &param, sizeof param, kRespText);
    return 0;
}

int on_test_ipc_connect_ex(char *text)
{
    const JsonPtr request = read_connect_request(text);
    if (request == nullptr)
        return -1;
    ipc_connect_param_ex param{};
    relay_fill(request.get(), kConnectExLayout, &param);
    if (param.managePort < kLowestTestPort)
        param.managePort = kLowestTestPort;
    relay_request(kMsgTestConnectEx, &param, sizeof param, kRespText);
    return 0;
}
