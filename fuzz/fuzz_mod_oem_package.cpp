// Feeds arbitrary bytes to the readers of an OEM package (linked with the
// modules, where the archive check lives): the base64 text,
// the passphrase decryption and the ZIP entry list check. Input: one byte
// choosing the reader, then the bytes.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "modules/system/oem_package.h"
#include "platform/crypto/web_crypt.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const unsigned char *bytes = data + 1;
    const size_t length = size - 1;
    std::vector<unsigned char> out(length + 16);
    switch (data[0] % 3) {
    case 0:
        zq_base64_decode(reinterpret_cast<const char *>(bytes), length, out.data(), length);
        break;
    case 1:
        // The key derivation costs milliseconds: short inputs only.
        if (length <= 256)
            aesDecryWeb(bytes, "fuzz-key", out.data(), out.size(), length);
        break;
    default:
        oem_zip_check(bytes, length);
        break;
    }
    return 0;
}
