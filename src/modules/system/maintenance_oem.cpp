// "/oem": the OEM branding package, decrypted, checked entry by entry and
// unpacked into the branding folder.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "front/cgi_upload.h"
#include "front/web_utils.h"
#include "modules/system/maintenance.h"
#include "modules/system/oem_package.h"
#include "platform/crypto/web_crypt.h"
#include "platform/sysutil/zq_std.h"
#include "platform/sysutil/nvr_path.h"

namespace {

constexpr const char *kOemDir = "/mnt/nand2/";
constexpr const char *kOemMarker = "/mnt/nand2/oem_upload";
constexpr const char *kArchiveTemplate = "/tmp/oemXXXXXX";
// The intake keeps an OEM upload at its temporary name.
constexpr const char *kUploadTemplate = "/tmp/cgic";
constexpr size_t kUploadRandom = 6;
constexpr const char *kKeyTag = "aes=";
constexpr size_t kKeyMax = 32;

int answer_error() { return cgi_writeback_webserver(kRespText, "ERROR"); }

// The file this request uploaded, when `text` names it and it still has
// the intake's temporary name; null for any other text.
const char *oem_upload(const char *text)
{
    if (!cgi_text_is_upload(text))
        return nullptr;
    const char *upload = cgi_uploaded_file_path();
    const NvrPath prefix(kUploadTemplate);
    const size_t length = strlen(prefix.c_str());
    return strncmp(upload, prefix.c_str(), length) == 0 && strlen(upload + length) == kUploadRandom ? upload
                                                                                                    : nullptr;
}

// The key: at most 32 characters after "aes=" in the query part of `text`.
bool oem_key(const char *text, char (&key)[kKeyMax + 1])
{
    const char *query = strstr(text, " & ");
    const char *tag = query != nullptr ? strstr(query, kKeyTag) : nullptr;
    if (tag == nullptr)
        return false;
    snprintf(key, sizeof key, "%s", tag + strlen(kKeyTag));
    return true;
}

// The upload's plain archive: base64, then the passphrase encryption.
bool decrypt_package(const char *upload, const char *key, std::vector<unsigned char> *plain)
{
    struct stat info {};
    if (stat(upload, &info) != 0 || info.st_size <= 0 || static_cast<size_t>(info.st_size) > kOemPackageMax)
        return false;
    int length = 0;
    char *text = zq_get_file_data(upload, &length);
    if (text == nullptr)
        return false;
    std::vector<unsigned char> decoded(static_cast<size_t>(length));
    const int decoded_length =
        zq_base64_decode(text, static_cast<size_t>(length), decoded.data(), decoded.size());
    __zq_free(text);
    if (decoded_length <= 0)
        return false;
    plain->resize(static_cast<size_t>(length) + 16);
    const int plain_length =
        aesDecryWeb(decoded.data(), key, plain->data(), plain->size(), static_cast<size_t>(decoded_length));
    if (plain_length <= 0)
        return false;
    plain->resize(static_cast<size_t>(plain_length));
    return true;
}

// The archive under a name of this request's own, for the unzip tool.
bool write_archive(const std::vector<unsigned char> &plain, char (&path)[kNvrPathMax])
{
    nvr_path(path, sizeof path, kArchiveTemplate);
    const int fd = mkstemp(path);
    if (fd < 0)
        return false;
    const bool written = write(fd, plain.data(), plain.size()) == static_cast<ssize_t>(plain.size());
    if (close(fd) != 0 || !written) {
        unlink(path);
        return false;
    }
    return true;
}

// Unpacks an archive whose every entry was checked to stay inside the
// branding folder; false when the check or the tool fails.
bool unpack_package(const std::vector<unsigned char> &plain)
{
    const ZipCheck checked = oem_zip_check(plain.data(), plain.size());
    if (checked != ZipCheck::Safe) {
        cgi_log("system", __LINE__, "", "OEM archive refused (%d)", static_cast<int>(checked));
        return false;
    }
    char archive[kNvrPathMax];
    if (!write_archive(plain, archive))
        return false;
    const NvrPath dir(kOemDir);
    mkdir(dir.c_str(), 0755);
    const char *const unzip[] = {"unzip", "-o", "-qq", archive, "-d", dir.c_str(), nullptr};
    const bool unpacked = web_run_argv_output(unzip, nullptr, 0) == 0;
    unlink(archive);
    return unpacked;
}

bool touch_marker()
{
    const int fd = open(NvrPath(kOemMarker).c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    futimens(fd, nullptr);
    return close(fd) == 0;
}

} // namespace

// A package that does not decrypt leaves the upload in place; one whose
// archive is refused or fails to unpack answers "ERROR" and is not marked.
int on_upload_oem(char *text)
{
    const char *upload = oem_upload(text);
    char key[kKeyMax + 1];
    std::vector<unsigned char> plain;
    if (upload == nullptr || !oem_key(text, key) || !decrypt_package(upload, key, &plain))
        return answer_error();
    unlink(upload);
    if (!unpack_package(plain) || !touch_marker())
        return answer_error();
    return cgi_writeback_webserver(kRespText, "OK");
}
