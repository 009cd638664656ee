// Helpers shared by the unit tests: a private NVR_ROOT and captured output.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "../support/scratch_dir.h"
#include "front/cgi_env.h"
#include "front/session.h"

// A private device root for one test, removed afterwards.
class TempRoot {
public:
    TempRoot()
    {
        path_ = make_scratch_dir("nvr-unit-");
        std::filesystem::create_directories(path_ + "/mnt/nand/app");
        std::filesystem::create_directories(path_ + "/tmp");
        setenv("NVR_ROOT", path_.c_str(), 1);
    }
    ~TempRoot()
    {
        unsetenv("NVR_ROOT");
        std::filesystem::remove_all(path_);
    }
    TempRoot(const TempRoot &) = delete;
    TempRoot &operator=(const TempRoot &) = delete;
    std::string operator/(const std::string &relative) const { return path_ + "/" + relative; }
    const std::string &path() const { return path_; }

private:
    std::string path_;
};

// Points cgiOut at a memory stream for the lifetime of the object.
class CapturedOutput {
public:
    CapturedOutput() : stream_(open_memstream(&data_, &size_)) { cgiOut = stream_; }
    ~CapturedOutput()
    {
        cgiOut = nullptr;
        fclose(stream_);
        free(data_);
    }
    CapturedOutput(const CapturedOutput &) = delete;
    CapturedOutput &operator=(const CapturedOutput &) = delete;
    std::string text()
    {
        fflush(stream_);
        return std::string(data_, size_);
    }

private:
    char *data_ = nullptr;
    size_t size_ = 0;
    FILE *stream_;
};

inline std::string read_whole_file(const std::string &path)
{
    std::string content;
    if (FILE *file = fopen(path.c_str(), "rb")) {
        char chunk[4096];
        size_t got = 0;
        while ((got = fread(chunk, 1, sizeof chunk, file)) > 0)
            content.append(chunk, got);
        fclose(file);
    }
    return content;
}

// Every right and every channel.
inline SessionAccess full_access()
{
    SessionAccess access{};
    for (unsigned char &right : access.rights)
        right = 1;
    std::string(64, '1').copy(access.liveview, 64);
    std::string(64, '1').copy(access.playback, 64);
    return access;
}

// Records a session of `user` (account `account_id`) in the store of the
// current NVR_ROOT and returns its cookie pair ("" when it failed).
inline std::string test_session_cookie(const char *user, const SessionAccess &access = full_access(),
                                       int account_id = 0, int idle_limit = kSessionIdleDefault)
{
    std::filesystem::create_directories(std::string(getenv("NVR_ROOT")) + "/dev/shm");
    char id[kSessionIdDigits + 1];
    const SessionLogin login{user, "192.0.2.7", account_id, 0, idle_limit, access};
    if (session_create(login, id) != 0)
        return "";
    return std::string("userName=") + user + "; sessionId=" + id;
}
