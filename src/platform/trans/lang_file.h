// Language files of the web folder ("/opt/app/www/webfile/json/<lang>.json"):
// blocks of texts between marker lines, read by the page text resource and
// the translation calls.
#pragma once

#include <cstddef>
#include <cstdio>

// True when a language name can only name a file of the language folder:
// not empty, no '/', no "..".
bool page_lang_allowed(const char *lang);
// Copies the block between the first line holding `start` and the next
// line holding `end` (neither copied) as "{\n" + lines + "\n}" into `out`,
// at most capacity - 1 characters, terminated. Lines are read in pieces of
// up to 1023 characters. Without a start line the text is empty; without
// an end line the block runs to the end of the file, unclosed.
void page_text_extract(FILE *file, const char *start, const char *end, char *out, size_t capacity);
