// Demo data of the system pages: outputs and audio, host name, service
// ports, retention times and the record mode of the demo cameras.
#pragma once

#include <cstddef>

// Stores each demo record that the database does not hold yet; 0, or -1
// when one cannot be stored.
int nvrconf_add_demo_system();

// Stores `record` as (kind, id) unless a record is stored there already.
// 0 when stored or kept, -1 on failure (or a record over 4096 bytes).
int store_if_absent(int kind, int id, const void *record, size_t size);
