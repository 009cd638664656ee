// Where firmware images wait for their installation: the core daemon reads
// them from these fixed device paths.
#pragma once

// The recorder's own firmware.
constexpr const char *kDeviceFirmwarePath = "/dev/shm/updateFM.bin";
// Camera firmware, pushed to the cameras from here.
constexpr const char *kCameraFirmwarePath = "/dev/shm/updateIPCFM.bin";
