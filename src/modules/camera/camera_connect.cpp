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

// Both test records carry the same camera, at other offsets.
constexpr WireField kConnectFields[] = {
    WIRE_TEXT("ipAddr", ipc_connect_target, ipAddr),
    WIRE_INT("managePort", ipc_connect_target, managePort),
    WIRE_TEXT("userName", ipc_connect_target, userName),
    WIRE_TEXT("password", ipc_connect_target, password),
    WIRE_INT("camProtocol", ipc_connect_target, camProtocol),
};

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

// Fills `Param` from a valid request, with a management port of at least
// `lowest_port`, and waits for the verdict; invalid requests are not
// answered.
template <typename Param> int test_connect(const char *text, int code, int32_t lowest_port)
{
    const JsonPtr request = read_connect_request(text);
    if (request == nullptr)
        return -1;
    Param param{};
    ipc_connect_target &target = param.target;
    wire_fill(request.get(), wire_layout(kConnectFields, sizeof target), &target);
    if (target.managePort < lowest_port)
        target.managePort = lowest_port;
    relay_request(code, &param, sizeof param, kRespText);
    return 0;
}

} // namespace

int on_test_ipc_connect(char *text) { return test_connect<ipc_connect_param>(text, kMsgTestConnect, 0); }

int on_test_ipc_connect_ex(char *text)
{
    return test_connect<ipc_connect_param_ex>(text, kMsgTestConnectEx, kLowestTestPort);
}
