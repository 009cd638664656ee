// User accounts and logins of the demo device.
#include <cstdio>

#include "demo.h"

namespace {

// 3504 -> 8504: the demo device accepts every mail link whose token is not
// empty (result 0) and refuses an empty one (1).
void on_mail_login(const CoreMessage &request, Answer &answer)
{
    const bool empty = request.payload.empty() || request.payload[0] == '\0';
    answer.push_back(AnswerStep::reply(8504, demo_int32s({empty ? 1 : 0})));
}

// 3505, fire-and-forget: the accounts changed; the demo has nothing to reload.
void on_users_changed(const CoreMessage &request, Answer &)
{
    fprintf(stderr, "coresim: accounts changed (%zu payload bytes)\n", request.payload.size());
}

// 3265 -> 8265: the PoE cameras took the new password (0).
void on_poe_camera_password(const CoreMessage &, Answer &answer)
{
    answer.push_back(AnswerStep::reply(8265, demo_int32s({0})));
}

// 3267, fire-and-forget.
void on_user_notify(const CoreMessage &, Answer &) {}

const DemoRow kUserRows[] = {
    {3504, on_mail_login},
    {3505, on_users_changed},
    {3265, on_poe_camera_password},
    {3267, on_user_notify},
};
NVR_DEMO_ROWS(kUserRows)

} // namespace
