// Demo data that nvrconf init --demo stores beside the demo cameras, one
// function per module's pages. Each keeps what is stored already and gives
// 0, or -1 on a failed write.
#pragma once

int add_demo_camera_image();

// OSD positions, privacy masks, video loss and exception settings.
int add_demo_video();
int add_demo_ptz();
int add_demo_camera_features();
int add_demo_storage();
int add_demo_vca();
