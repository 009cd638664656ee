// A fresh folder for one test's device root. Memory-backed (/dev/shm) where
// the machine has it: the database syncs every write, and on a disk those
// syncs, not the programs, set the pace of the tests.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <string>

// Creates <base>/<prefix>XXXXXX and returns its path, "" when it cannot.
inline std::string make_scratch_dir(const char *prefix)
{
    for (const char *base : {"/dev/shm", "/tmp"}) {
        if (access(base, W_OK | X_OK) != 0)
            continue;
        std::string pattern = std::string(base) + "/" + prefix + "XXXXXX";
        if (mkdtemp(pattern.data()) != nullptr)
            return pattern;
    }
    return "";
}
