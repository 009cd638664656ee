// coresim, the core daemon stand-in, run as a program in a test's root.
// Tests that link it define NVR_CORESIM as the path of the binary.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "test_support.h"

extern char **environ;

// coresim running in the test's root; stopped (SIGTERM) at the end.
class CoreSim {
public:
    CoreSim(const TempRoot &root, std::vector<std::string> args) : root_(root)
    {
        std::filesystem::create_directories(root / "var/run");
        args.insert(args.begin(), NVR_CORESIM);
        args.insert(args.end(), {"--record", root / "record", "--ready", root / "ready"});
        pid_ = start(args, root / "coresim.log");
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (access((root / "ready").c_str(), F_OK) != 0 && std::chrono::steady_clock::now() < deadline) {
            if (waitpid(pid_, nullptr, WNOHANG) != 0) {
                pid_ = -1;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    ~CoreSim()
    {
        if (pid_ > 0)
            stop();
    }
    CoreSim(const CoreSim &) = delete;
    CoreSim &operator=(const CoreSim &) = delete;

    // Runs coresim to its end with `args`; its exit code, its output in `log`.
    static int run(const TempRoot &root, std::vector<std::string> args, std::string *log)
    {
        args.insert(args.begin(), NVR_CORESIM);
        const pid_t pid = start(args, root / "run.log");
        int status = 0;
        waitpid(pid, &status, 0);
        *log = read_whole_file(root / "run.log");
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    bool running() const { return pid_ > 0; }
    std::string record() const { return read_whole_file(root_ / "record"); }
    std::string log() const { return read_whole_file(root_ / "coresim.log"); }

    int stop()
    {
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    static pid_t start(const std::vector<std::string> &args, const std::string &log_path)
    {
        std::vector<char *> argv;
        for (const auto &arg : args)
            argv.push_back(const_cast<char *>(arg.c_str()));
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, log_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        pid_t pid = -1;
        if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
            pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        return pid;
    }

    const TempRoot &root_;
    pid_t pid_ = -1;
};
