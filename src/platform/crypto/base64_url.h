// URL- and file-name-safe base64: the alphabet A-Z a-z 0-9 '-' '_', no
// padding written. Stored audio file names are kept in this form, so any
// display name becomes a name the temporary directory can hold.
#pragma once

#include <cstddef>

// Encodes `length` bytes of `data` into `out` (terminated). Returns the
// text length, or -1 for a null argument, a negative length or an output
// that cannot hold the whole text with its terminator (`out` then empty
// when out_size > 0).
int base64EncodeUrl(const unsigned char *data, int length, char *out, size_t out_size);

// Decodes `text` (padding '=' at the end accepted) into `out`. Returns the
// byte count, or -1 for a null argument, a character outside the alphabet,
// a length no encoding has (one character left over) or an output too
// small. Nothing is terminated.
int base64DecodeUrl(const char *text, unsigned char *out, size_t out_size);

// The value 0-63 of a base64 character whose alphabet ends in `c62` and
// `c63` ('+' '/' for the standard one, '-' '_' for the URL-safe one), or -1.
int base64_sextet(char c, char c62, char c63);
