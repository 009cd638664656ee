// What the parts of nvrconf share: exit codes, the failure message and
// the store that keeps records already set.
#pragma once

#include <cstddef>

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;

// Prints "nvrconf: WHAT: DETAIL" (": DETAIL" only when not empty) to the
// standard error; returns kExitFailed.
int fail(const char *what, const char *detail);
// Stores `record` as (kind, id) unless a record is stored there already.
// 0 when stored or kept, -1 on failure.
int store_if_absent(int kind, int id, const void *record, size_t size);

// The demo device's recording settings, record schedules and holidays
// (demo_record.cpp). kExitOk or kExitFailed.
int add_demo_recording();
