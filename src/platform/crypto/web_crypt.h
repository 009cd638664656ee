// The coding and encryption calls of uploaded packages: base64 text and the
// passphrase-encrypted AES form that "openssl enc" writes.
#pragma once

#include <cstddef>

// Decodes the base64 text `text` (`length` bytes; line breaks and other
// white space are skipped) into `out`. The decoded length, or -1 for a
// character outside the alphabet, misplaced padding, a text whose length is
// not a whole number of groups, or one that does not fit `capacity`.
int zq_base64_decode(const char *text, size_t length, unsigned char *out, size_t capacity);

// Decrypts `data` (`length` bytes), as written by
//   openssl enc -aes-256-cbc -pbkdf2 -salt -pass pass:KEY
// ("Salted__", an 8-byte salt, then AES-256-CBC with PKCS#7 padding under a
// key and IV derived from the passphrase `key` by PBKDF2-HMAC-SHA256 with
// 10000 rounds), into `out`, which holds `capacity` bytes (at least the
// encrypted length plus one block). The plain length, or -1 when the data is
// not of that form, the padding is wrong (a wrong passphrase, as a rule) or
// `out` is too small.
int aesDecryWeb(const unsigned char *data, const char *key, unsigned char *out, size_t capacity,
                size_t length);
