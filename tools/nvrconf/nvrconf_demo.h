// Demo data that nvrconf init --demo stores beside the demo cameras, one
// function per module's pages. Each keeps what is stored already and gives
// 0, or -1 on a failed write.
#pragma once

#include "modules/video/vca_records.h"

int add_demo_camera_image();

// OSD positions, privacy masks, video loss and exception settings.
int add_demo_video();
int add_demo_ptz();
int add_demo_camera_features();
// People-counting groups, POS tills, report backups and face detection.
int add_demo_peoplecnt();
int add_demo_storage();
int add_demo_vca();
// A demo event record of channel `chnid`: on, raising the first alarm
// output, recording and mailing (with a picture) its own channel.
smart_event_record demo_smart_event(int chnid);
// A few plates of each list and the black list mode of the first camera.
int add_demo_anpr();
// Access filter, automatic reboot and UPnP settings.
int add_demo_settings();
// Snapshot settings, camera events and regional counting actions.
int add_demo_snapshot();
