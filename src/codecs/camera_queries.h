// Core messages that more than one module sends about one camera.
#pragma once

// Whether the camera has PTZ: int32 channel; reply 6262.
constexpr int kMsgGetPtzSupport = 1262;
// The camera's model type: int32 channel; reply 7503.
constexpr int kMsgGetIpcModelType = 2503;
