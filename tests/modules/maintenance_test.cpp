// The maintenance handlers where the end-to-end cases cannot reach: the
// firmware install result on replies of every size, and export downloads
// that a planted index or link would turn into reading other files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/ipc.h"
#include "modules/system/maintenance.h"
#include "modules/system/system.h"
#include "reply_support.h"

namespace {

void write_text(const std::string &path, const std::string &text) { std::ofstream(path) << text; }

std::string read_text(const std::string &path)
{
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

int deliver_upgrade_result(const std::string &payload)
{
    const Delivered reply = deliver_reply(on_system_ipc_callback, kReplyFirmwareInstall, payload);
    EXPECT_EQ(reply.out, "");
    return reply.done;
}

TEST(MaintenanceReplies, InstallResultNeedsItsFourBytes)
{
    EXPECT_EQ(deliver_upgrade_result(std::string(3, '\0')), 0);
    EXPECT_EQ(deliver_upgrade_result(std::string("\x01\0\0\0", 4)), 1);
}

std::string download(const TempRoot &root, const std::string &index)
{
    write_text(root / "tmp/.export_down_file", index);
    CapturedOutput output;
    on_download_config(nullptr);
    return output.text();
}

TEST(MaintenanceDownload, ServesNoLinkFolderOrFileOutsideTmp)
{
    const TempRoot root;
    write_text(root / "secret", "secret");
    std::filesystem::create_symlink(root / "secret", root / "tmp/cfg.bin");
    EXPECT_EQ(download(root, "/tmp/cfg.bin"), "");
    std::filesystem::create_directories(root / "tmp/folder.bin");
    EXPECT_EQ(download(root, "/tmp/folder.bin"), "");
    EXPECT_EQ(download(root, "/secret"), "");
    EXPECT_EQ(download(root, (root / "secret")), "");
    EXPECT_EQ(read_text(root / "secret"), "secret");
    EXPECT_TRUE(std::filesystem::is_symlink(root / "tmp/cfg.bin"));
    EXPECT_TRUE(std::filesystem::is_directory(root / "tmp/folder.bin"));
}

TEST(MaintenanceDownload, ServesTheExportNamedOnTheIndexFirstLine)
{
    const TempRoot root;
    write_text(root / "tmp/cfg.bin", "bytes");
    EXPECT_EQ(download(root, "/tmp/cfg.bin\n"),
              "Content-Type:application/octet-stream\r\nContent-Disposition: attachment; filename= "
              "cfg.bin\r\n\r\nbytes");
    EXPECT_FALSE(std::filesystem::exists(root / "tmp/cfg.bin"));
}

} // namespace
