// Text translation of log codes (main types, sub types and parameters) into
// the user's language, from the "logtext" block of the web folder's language
// file: one "code": "text" member per line.
#pragma once

#include <cstddef>

// Codes below this have a text; higher codes translate to nothing.
constexpr int kTransCodes = 1024;
constexpr int kTransValueSize = 128;

// Loads the texts of `language` ("en" reads "en.json"). -1 (no texts) for a
// language that names no file of the folder, or a file without the block.
int trans_init(const char *language);
// The text of `code` into `buffer` (cut to size - 1). 0 when the code has a
// text, -1 with an empty buffer otherwise.
int trans_get_value(int code, char *buffer, int size);
// Releases the texts; trans_get_value finds none afterwards.
void trans_deinit();
