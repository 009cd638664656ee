// Inside the interface probes: bounded reading of the kernel's /proc text
// tables and a socket holder, shared by the probe units.
#pragma once

#include <sys/socket.h>
#include <unistd.h>

#include <cstddef>
#include <cstdio>

#include "platform/sysutil/nvr_path.h"

// Line-by-line reading with a bounded line buffer: a line longer than the
// buffer is cut and the rest of it skipped, so no part of a line is ever
// taken for a line of its own.
class ProcLines {
public:
    explicit ProcLines(const char *device_path) : file_(fopen(NvrPath(device_path).c_str(), "re")) {}
    ~ProcLines()
    {
        if (file_ != nullptr)
            fclose(file_);
    }
    ProcLines(const ProcLines &) = delete;
    ProcLines &operator=(const ProcLines &) = delete;

    bool is_open() const { return file_ != nullptr; }

    // The next line without its line end; null at the end of the file.
    const char *next()
    {
        if (file_ == nullptr || fgets(line_, sizeof line_, file_) == nullptr)
            return nullptr;
        size_t length = 0;
        while (line_[length] != '\0' && line_[length] != '\n')
            ++length;
        if (line_[length] != '\n')
            skip_rest();
        line_[length] = '\0';
        return line_;
    }

private:
    void skip_rest()
    {
        int ch = 0;
        while ((ch = fgetc(file_)) != EOF && ch != '\n') {
        }
    }

    FILE *file_;
    char line_[512];
};

// Names the kernel gives interfaces: 1 to 15 characters.
constexpr size_t kIfNameMax = 15;

// The gateway of the interface's default route in /proc/net/route as a
// dotted quad into `out`; "0.0.0.0" when it has none.
void route_default_gateway(const char *ifname, char *out, size_t size);

// A socket closed when its holder goes out of scope.
class ScopedSocket {
public:
    ScopedSocket(int domain, int type, int protocol = 0) : fd_(socket(domain, type | SOCK_CLOEXEC, protocol))
    {
    }
    ~ScopedSocket()
    {
        if (fd_ >= 0)
            close(fd_);
    }
    ScopedSocket(const ScopedSocket &) = delete;
    ScopedSocket &operator=(const ScopedSocket &) = delete;
    int fd() const { return fd_; }

private:
    int fd_;
};
