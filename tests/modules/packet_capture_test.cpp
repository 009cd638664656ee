// The packet capture's request checks with recording stand-ins of the tools
// it runs: links that lead a capture folder or file out of "/mnt" and
// "/tmp", and the bounds of peer addresses and ports.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "modules/status/status.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;

constexpr const char *kRefused = "Content-type: application/json\r\n\r\n{status:\"CGI ERROR\"}";

class PacketCapture : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(root_ / "bin");
        fs::create_directories(root_ / "www");
        fs::create_directories(root_ / "tmp/cap");
        fs::create_directories(root_ / "mnt/disk");
        fs::create_directories(root_ / "etc");
        for (const char *tool : {"bin/tcpdump", "bin/killall", "www/webmonitor"})
            recording_tool(tool);
        old_path_ = getenv("PATH") != nullptr ? getenv("PATH") : "";
        setenv("PATH", (root_.path() + "/bin:" + old_path_).c_str(), 1);
    }
    void TearDown() override { setenv("PATH", old_path_.c_str(), 1); }

    // A tool that appends its arguments, each in brackets, to tmp/<name>.args.
    void recording_tool(const std::string &relative)
    {
        const std::string name = fs::path(relative).filename();
        std::ofstream(root_ / relative) << "#!/bin/sh\nprintf '[%s]' \"$@\" >> \"$NVR_ROOT/tmp/" << name
                                        << ".args\"; echo >> \"$NVR_ROOT/tmp/" << name << ".args\"\n";
        fs::permissions(root_ / relative, fs::perms::owner_all);
    }

    std::string start(const std::string &ip, const std::string &port, const std::string &dir)
    {
        std::string text =
            R"({"ip": ")" + ip + R"(", "port": ")" + port + R"(", "nic": "lo", "mntPath": ")" + dir + R"("})";
        CapturedOutput out;
        on_start_packet_capture(text.data());
        return out.text();
    }

    // The arguments `tool` was started with (it runs in the background).
    std::string args_of(const char *tool)
    {
        const std::string path = root_ / (std::string("tmp/") + tool + ".args");
        for (int wait = 0; wait < 200 && read_whole_file(path).find('\n') == std::string::npos; ++wait)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return read_whole_file(path);
    }

    // tcpdump's arguments, once the monitor started beside it has ended too.
    std::string tcpdump_args()
    {
        args_of("webmonitor");
        return args_of("tcpdump");
    }

    bool ran(const char *tool) { return fs::exists(root_ / (std::string("tmp/") + tool + ".args")); }

    TempRoot root_;
    std::string old_path_;
};

TEST_F(PacketCapture, FolderLinkedOutOfTheCaptureAreasIsRefused)
{
    fs::create_directory_symlink(root_ / "etc", root_ / "tmp/out");
    EXPECT_EQ(start("", "", "/tmp/out"), kRefused);
    fs::create_directory_symlink(root_ / "mnt/disk", root_ / "tmp/in");
    const std::string answer = start("", "", "/tmp/in");
    EXPECT_NE(answer.find(R"("dirPath": "\/tmp\/in")"), std::string::npos) << answer;
    const std::string args = tcpdump_args();
    EXPECT_NE(args.find("[-w][" + root_.path() + "/mnt/disk/rvpcap-"), std::string::npos)
        << "the capture goes where the link leads: " << args;
}

TEST_F(PacketCapture, PeerAddressesAndPortsWithinTheirBounds)
{
    for (const char *port : {"0", "000080", "-1", "+80", " 80"})
        EXPECT_EQ(start("", port, "/tmp/cap"), kRefused) << port;
    for (const char *ip : {"1.2.3", "1.2.3.4.5", "::1 ", "fe80::1%lo", "256.1.1.1"})
        EXPECT_EQ(start(ip, "", "/tmp/cap"), kRefused) << ip;
    EXPECT_FALSE(ran("tcpdump"));
    EXPECT_FALSE(ran("killall"));

    start("2001:db8::7", "65535", "/mnt");
    const std::string args = tcpdump_args();
    EXPECT_NE(args.find(" && host 2001:db8::7 && port 65535][-W][2][-C][25][-w]"), std::string::npos) << args;
    EXPECT_EQ(args.rfind("[-i][lo][-s0][host ", 0), 0u) << args;
}

TEST_F(PacketCapture, DownloadTakesNoLinkedFileAndTouchesNothingOutside)
{
    const std::string secret = root_ / "etc/secret";
    std::ofstream(secret) << "SECRET";
    fs::create_symlink(secret, root_ / "tmp/cap/rvpcap-20261208101500");
    fs::create_symlink(secret, root_ / "tmp/cap/rvpcap-201612081015000");
    std::string text = "/tmp/cap/rvpcap-20261208101500";
    CapturedOutput out;
    on_download_packet_capture(text.data());
    EXPECT_EQ(out.text(), "") << "no capture file, no archive";
    EXPECT_EQ(read_whole_file(secret), "SECRET");
    EXPECT_TRUE(fs::is_symlink(root_ / "tmp/cap/rvpcap-20261208101500"));
    EXPECT_FALSE(fs::exists(root_ / "tmp/cap/packet.tar"));
}

} // namespace
