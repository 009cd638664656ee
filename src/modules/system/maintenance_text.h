// Text rules of the device information and maintenance options, free of
// database, core channel and tools: the uptime cut, the option name hash,
// the chip information edits and the page text blocks of a language file.
#pragma once

#include <cstddef>
#include <cstdio>

#include "platform/trans/lang_file.h"

// The uptime command's output as the device information shows it: its first
// line (at most 63 characters), cut 5 characters before the word "users" or,
// without it, 2 characters before the first 'l'. A cut that would fall
// before the start keeps nothing.
void system_uptime_text(const char *printed, char *out, size_t size);

// Bucket of an option name among kOptionBuckets: h = c + 37 * h over its
// characters, modulo 64.
constexpr int kOptionBuckets = 64;
int hash_cal_value(const char *name);

// Chip information: a text of 32 characters (at most 63) that the chip tool
// reads and writes; the options change characters at fixed positions.
constexpr size_t kChipInfoSize = 64;
constexpr size_t kChipInfoLength = 32;

// One change of the chip information: `text` goes to `position`, or
// replaces the whole information when `whole` is set.
struct ChipChange {
    size_t position = 0;
    char text[kChipInfoLength + 1] = "";
    bool whole = false;
};

// True for a non-empty value of letters and digits only: nothing else may
// reach the chip information or the tool's arguments.
bool chip_value_allowed(const char *value);
// The change a "chipupdate" value asks for. Values of 21 to 31 characters
// are padded with '0' to 32. A first character 'E', 'H', 'N' or 'S' puts
// the 7, 2, 6 or 11 characters after it at 12, 9, 3 or 20; "MSN" replaces
// the whole information with the 32 characters. False for any other value,
// one longer than 32 and one too short for its field.
bool chip_update_change(const char *value, ChipChange *out);
// The change a "modelupdate" value asks for: the value itself, padded with
// '0' to the width of its field, at the field's place: 'E' 8 at 12, 'H' 3
// at 9, 'N' 7 at 2, 'S' 12 at 20. False for any other first character or a
// value longer than its field.
bool model_update_change(const char *value, ChipChange *out);
// Applies `change` to the terminated text `chip` (`size` bytes); false,
// with `chip` unchanged, when the information is too short to hold the
// changed field.
bool chip_apply_change(char *chip, size_t size, const ChipChange &change);
// The chip information of the chip tool's read output: what follows the
// tag "Read old:" on the first line that holds it, to that line's end, cut
// to size - 1 characters. False when no line holds the tag.
bool chip_info_from_output(const char *output, char *chip, size_t size);
