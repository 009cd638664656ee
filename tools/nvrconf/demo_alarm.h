// Demo data of the alarm pages for `nvrconf init --demo`.
#pragma once

#include <cstddef>

// Stores a record as (kind, id) unless one is stored there; 0 or -1.
using DemoStore = int (*)(int kind, int id, const void *record, size_t size);

// The recorder's 16 alarm inputs and 4 outputs with their names, switches
// and schedules, and the named alarm inputs and outputs of two demo
// cameras (the first, which answers, and the fourth, which does not).
// 0, or -1 when a record could not be stored.
int add_demo_alarms(DemoStore store);
