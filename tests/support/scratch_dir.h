// A fresh folder for one test's device root. Memory-backed (/dev/shm) where
// the machine has it: the database syncs every write, and on a disk those
// syncs, not the programs, set the pace of the tests. A small /dev/shm (a
// container's 64 MiB) is passed over: some cases write files of many
// megabytes, two at a time.
#pragma once

#include <stdlib.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <string>

// Creates <base>/<prefix>XXXXXX and returns its path, "" when it cannot.
inline std::string make_dir_in(const char *base, const char *prefix)
{
    std::string pattern = std::string(base) + "/" + prefix + "XXXXXX";
    return mkdtemp(pattern.data()) != nullptr ? pattern : "";
}

// True when `base` can be written and has a gibibyte free.
inline bool has_room(const char *base)
{
    struct statvfs room {};
    return access(base, W_OK | X_OK) == 0 && statvfs(base, &room) == 0 &&
           static_cast<unsigned long long>(room.f_bavail) * room.f_frsize >= (1ULL << 30);
}

// A fresh folder in /dev/shm when it has room, in /tmp otherwise.
inline std::string make_scratch_dir(const char *prefix)
{
    std::string dir = has_room("/dev/shm") ? make_dir_in("/dev/shm", prefix) : "";
    return dir.empty() ? make_dir_in("/tmp", prefix) : dir;
}
