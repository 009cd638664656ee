// The copy of one stored record to the records of other channels (or
// inputs) of the same kind, for record kinds whose ids differ by the
// channel alone: id = base + channel.
#pragma once

#include <cstdint>

#include "platform/confdb/confdb.h"

// A copy that needs no change for its target.
template <typename Record> void keep_as_is(Record *, int) {}

// Copies record (kind, from_id), the record of channel `source`, to
// (kind, from_id - source + target) for every target below `targets` whose
// bit is set in `mask`, the source excepted; each copy is given to its
// target by `adopt` first. A source that was never stored copies as all
// zero, so the targets end up as empty as it. A negative from_id (an
// unknown table or channel) or a failed read or write gives -1; the copy
// stops at the first failure.
template <typename Record, typename Adopt = void (*)(Record *, int)>
int copy_keyed_record(const char *db, int kind, int from_id, int source, uint64_t mask, int targets,
                      Adopt adopt = keep_as_is<Record>)
{
    Record record;
    if (from_id < 0 || confdb_read_record(db, kind, from_id, &record, sizeof record) < 0)
        return -1;
    const int base = from_id - source;
    for (int target = 0; target < targets && target < 64; ++target) {
        if (target == source || (mask >> target & 1u) == 0)
            continue;
        Record copy = record;
        adopt(&copy, target);
        if (confdb_write_record(db, kind, base + target, &copy, sizeof copy) != 0)
            return -1;
    }
    return 0;
}
