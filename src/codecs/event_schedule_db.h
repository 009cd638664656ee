// The effective schedules of the recorder's events that pages of more than
// one module change: the motion schedule of a channel and the schedule of
// each smart event of a channel. Reads give kRecFound, kRecAbsent (the
// schedule zeroed) or -1; writes 0 or -1, and refuse channels outside 0..63
// and smart event indexes outside 0..kSmartEventCount - 1.
#pragma once

#include "codecs/schedule.h"

constexpr int kSmartEventCount = 9; // smart event indexes 0..8

int read_motion_effective_schedule(const char *db, schedule_record *schedule, int chnid);
int write_motion_effective_schedule(const char *db, const schedule_record *schedule, int chnid);
int read_smart_event_effective_schedule(const char *db, schedule_record *schedule, int chnid, int index);
int write_smart_event_effective_schedule(const char *db, const schedule_record *schedule, int chnid,
                                         int index);
