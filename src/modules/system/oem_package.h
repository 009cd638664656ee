// The OEM branding package: a base64 text of an encrypted ZIP archive whose
// entries are unpacked into the branding folder. The archive's entry list
// is checked before anything is unpacked.
#pragma once

#include <cstddef>

// Limits of a package: its size as uploaded, the number of entries and the
// bytes they unpack to.
constexpr size_t kOemPackageMax = 32u << 20;
constexpr size_t kOemEntriesMax = 4096;
constexpr size_t kOemUnpackedMax = 256u << 20;

enum class ZipCheck {
    Safe,       // every entry is a file or folder with a relative name inside
    Malformed,  // no readable central directory, a multi-disk, ZIP64 or encrypted archive
    UnsafeName, // an absolute name, a ".." component, a backslash or a control character
    Link,       // a symbolic link or another special file
    TooLarge,   // more entries or unpacked bytes than the limits
};

// True for an entry name that stays inside the folder it is unpacked into:
// not empty, relative, without a "." or ".." component or an empty one
// (but a trailing '/' of a folder), a backslash, NUL or control character.
bool oem_entry_name_safe(const char *name, size_t length);

// Checks every entry of the ZIP archive `data` (`length` bytes). The end of
// central directory record must end the data, so no other reader finds a
// different entry list in the same bytes.
ZipCheck oem_zip_check(const unsigned char *data, size_t length);
