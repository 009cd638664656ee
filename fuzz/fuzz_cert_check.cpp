// Feeds arbitrary files to the certificate check of the install page: the
// input is split into the uploaded certificate, the device key and the
// pending request (at the first two 0xff bytes), each written as a file.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/crypto/cert_check.h"
#include "support/fuzz_root.h"

namespace {

std::string g_dir;

void write_part(const std::string &path, const uint8_t *data, size_t size)
{
    FILE *file = fopen(path.c_str(), "wb");
    if (file == nullptr)
        return;
    fwrite(data, 1, size, file);
    fclose(file);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz_use_private_root();
    g_dir = getenv("NVR_ROOT");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string names[] = {g_dir + "/cert.pem", g_dir + "/key.pem", g_dir + "/req.csr"};
    for (const std::string &name : names)
        unlink(name.c_str());
    size_t start = 0;
    int part = 0;
    for (size_t at = 0; at <= size && part < 3; ++at) {
        if (at == size || (data[at] == 0xff && part < 2)) {
            write_part(names[part++], data + start, at - start);
            start = at + 1;
        }
    }
    cert_check_install(names[0].c_str(), names[1].c_str(), names[2].c_str());
    return 0;
}
