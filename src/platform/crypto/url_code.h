// Percent-encoding of texts handed to the browser.
#pragma once

#include <cstddef>

// Encodes the first `length` characters of `text` (stopping early at a
// terminator) into `out`: letters, digits and "-_.~" stay, every other byte
// becomes "%XX" (upper-case hex). The output is always terminated; an
// escape that would not fit whole is left out with everything after it.
// Returns the output length, or -1 for a null argument or `out_size` 0.
int get_url_encode(const char *text, int length, char *out, size_t out_size);

// Decodes "%XX" escapes of `text` into `out` (at most out_size - 1 bytes,
// always terminated); every other character, and an escape without two hex
// digits, is copied as it is. Returns the output length, or -1 for a null
// argument or `out_size` 0.
int get_url_decode(const char *text, char *out, size_t out_size);
