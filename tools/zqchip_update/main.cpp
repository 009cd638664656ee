// Stand-in for the device's chip tool: the chip's identity text is kept in
// a file of the device root, read with "-r N" and replaced by a new text
// given as the only argument.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/sysutil/nvr_path.h"

namespace {

constexpr const char *kChipFile = "/var/chipinfo";
constexpr size_t kChipMax = 63;

const char *const kUsage =
    "usage: zqchip_update -r N     print \"Read old:\" and the chip's first N characters\n"
    "       zqchip_update TEXT     write TEXT (at most 63 characters) to the chip\n"
    "The chip is the first line of $NVR_ROOT/var/chipinfo; without that file\n"
    "the chip cannot be read. Exit status: 0 done, 1 failed, 2 usage error.\n";

int read_chip(const char *count_text)
{
    char *end = nullptr;
    const long count = strtol(count_text, &end, 10);
    if (*count_text == '\0' || *end != '\0' || count < 1 || count > static_cast<long>(kChipMax)) {
        fputs(kUsage, stderr);
        return 2;
    }
    printf("zqchip_update: reading %ld bytes\n", count);
    FILE *file = fopen(NvrPath(kChipFile).c_str(), "r");
    char line[128] = "";
    if (file == nullptr || fgets(line, sizeof line, file) == nullptr) {
        if (file != nullptr)
            fclose(file);
        printf("zqchip_update: no chip answers\n");
        return 1;
    }
    fclose(file);
    line[strcspn(line, "\r\n")] = '\0';
    printf("Read old:%.*s\n", static_cast<int>(count), line);
    return 0;
}

int write_chip(const char *text)
{
    if (strlen(text) > kChipMax || strpbrk(text, "\r\n") != nullptr) {
        fprintf(stderr, "zqchip_update: chip text longer than %zu characters or not one line\n", kChipMax);
        return 1;
    }
    const NvrPath path(kChipFile);
    std::string temp = std::string(path.c_str()) + ".XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0) {
        perror("zqchip_update");
        return 1;
    }
    const std::string line = std::string(text) + "\n";
    bool ok = write(fd, line.data(), line.size()) == static_cast<ssize_t>(line.size());
    ok = close(fd) == 0 && ok && rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        unlink(temp.c_str());
        perror("zqchip_update");
        return 1;
    }
    printf("Write new:%s\n", text);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 2 && (strcmp(argv[1], "--help") == 0 || strcmp(argv[1], "-h") == 0)) {
        fputs(kUsage, stdout);
        return 0;
    }
    if (argc == 3 && strcmp(argv[1], "-r") == 0)
        return read_chip(argv[2]);
    if (argc == 2 && argv[1][0] != '-')
        return write_chip(argv[1]);
    fputs(kUsage, stderr);
    return 2;
}
