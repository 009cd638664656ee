// Maintenance options that touch the device's identity and branding: the
// chip information read and changed through the chip tool, and the return
// to the stock branding with the erase markers.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "codecs/params.h"
#include "front/web_utils.h"
#include "modules/system/device_info.h"
#include "modules/system/maintenance_text.h"
#include "platform/confdb/confdb.h"
#include "platform/sysutil/nvr_path.h"
#include "platform/sysutil/zq_std.h"

namespace {

constexpr const char *kChipTool = "zqchip_update";
constexpr size_t kChipOutputSize = 4096;
constexpr size_t kAnswerSize = 64;

constexpr const char *kOemDir = "/mnt/nand2";
constexpr const char *kAppBinDir = "/opt/app/bin";
constexpr const char *kWebDir = "/opt/app/www";
constexpr const char *kWebArchive = "/opt/app/www/web.tar.gz";
constexpr const char *kMarkerDir = "/mnt/nand/app";

// The chip information as the chip tool reads it; read from the tool's
// output directly, so concurrent requests never share a scratch file.
int get_chip_info(char *buffer, size_t size)
{
    char output[kChipOutputSize];
    const char *const argv[] = {kChipTool, "-r", "32", nullptr};
    web_run_argv_output(argv, output, sizeof output);
    return chip_info_from_output(output, buffer, size) ? 0 : -1;
}

// Writes the chip information through the tool (its output dropped).
int put_chip_info(const char *chip)
{
    const char *const argv[] = {kChipTool, chip, nullptr};
    return web_run_argv_output(argv, nullptr, 0);
}

int answer_option(const char *verdict, const char *option)
{
    char answer[kAnswerSize];
    snprintf(answer, sizeof answer, "%s %s", verdict, option);
    return cgi_writeback_webserver(kRespText, answer);
}

// A change is made only to a chip information that was read whole and can
// hold it, and is reported done only when the tool took it.
int change_chip_info(const char *option, bool valid, const ChipChange &change)
{
    if (!valid)
        return answer_option("NG", option);
    char chip[kChipInfoSize];
    if (get_chip_info(chip, sizeof chip) != 0 || !chip_apply_change(chip, sizeof chip, change))
        return cgi_writeback_webserver(kRespText, "ERROR");
    if (put_chip_info(chip) != 0)
        return answer_option("NG", option);
    return answer_option("OK", option);
}

// Copies `from` over `to` through a new file renamed into place.
void copy_file_over(const char *from, const char *to)
{
    int length = 0;
    char *data = zq_get_file_data(from, &length);
    if (data == nullptr)
        return;
    char temp[kNvrPathMax];
    snprintf(temp, sizeof temp, "%s.XXXXXX", to);
    const int fd = mkstemp(temp);
    if (fd >= 0) {
        const bool written = write(fd, data, static_cast<size_t>(length)) == length && fchmod(fd, 0644) == 0;
        if (close(fd) != 0 || !written || rename(temp, to) != 0)
            unlink(temp);
    }
    __zq_free(data);
}

// Deletes the files (not folders, not hidden entries) of `dir`.
void remove_files_in(const char *dir)
{
    DIR *folder = opendir(dir);
    if (folder == nullptr)
        return;
    while (const dirent *entry = readdir(folder)) {
        if (entry->d_name[0] == '.')
            continue;
        struct stat info {};
        if (fstatat(dirfd(folder), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISDIR(info.st_mode))
            unlinkat(dirfd(folder), entry->d_name, 0);
    }
    closedir(folder);
}

void touch_marker(const char *name)
{
    char device_path[kNvrPathMax];
    snprintf(device_path, sizeof device_path, "%s/%s", kMarkerDir, name);
    const NvrPath path(device_path);
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd >= 0)
        close(fd);
}

void restore_stock_file(const char *backup, const char *name)
{
    char from[kNvrPathMax];
    char to[kNvrPathMax];
    snprintf(from, sizeof from, "%s/%s", NvrPath(kOemDir).c_str(), backup);
    snprintf(to, sizeof to, "%s/%s", NvrPath(kAppBinDir).c_str(), name);
    copy_file_over(from, to);
}

} // namespace

int on_option_paratest(const KeyValueRecord &option)
{
    if (strcmp(option.value, "chipinfo") != 0)
        return cgi_writeback_webserver(kRespText, "Param ERROR");
    char chip[kChipInfoSize];
    if (get_chip_info(chip, sizeof chip) != 0)
        return cgi_writeback_webserver(kRespText, "ERROR");
    char answer[kAnswerSize];
    snprintf(answer, sizeof answer, "OK chipinfo=%s\n", chip);
    return cgi_writeback_webserver(kRespText, answer);
}

int on_option_chipupdate(const KeyValueRecord &option)
{
    ChipChange change;
    const bool valid = chip_update_change(option.value, &change);
    return change_chip_info("chipupdate", valid, change);
}

int on_option_modelupdate(const KeyValueRecord &option)
{
    ChipChange change;
    const bool valid = model_update_change(option.value, &change);
    return change_chip_info("modelupdate", valid, change);
}

// Back to the stock logo, interface and web pages; the OEM folder is
// emptied and the device marked for erasure of its addresses, accounts and
// the rest of its settings.
int on_option_oemclean(const KeyValueRecord & /*option*/)
{
    restore_stock_file("logo.jpg_bk", "logo.jpg");
    restore_stock_file("gui.rcc_bk", "gui.rcc");
    remove_files_in(NvrPath(kOemDir).c_str());
    const NvrPath archive(kWebArchive);
    const NvrPath web_dir(kWebDir);
    const char *const tar_argv[] = {"tar", "-zxf", archive.c_str(), "-C", web_dir.c_str(), nullptr};
    web_run_argv_output(tar_argv, nullptr, 0);
    touch_marker("eraseip");
    touch_marker("eraseuser");
    const bool stored = set_param_int(ZQDB_PATH, "oem_type", 0) == 0;
    touch_marker("eraseall");
    sync();
    return cgi_writeback_webserver(kRespText, stored ? "OK" : "ERROR");
}
