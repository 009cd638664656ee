// Text rules of the log pages, free of the core channel: the translation
// codes of main types, the export's file name word, the shown client
// address, the detail block as 128 big-endian integers, the operation sub
// type lists of an export and the CSV fields.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "modules/system/log_records.h"

// Main types 1, 2, 4, 8, 32, 64 translate with the codes 1 to 6; any other
// main type has no translation (-1).
int log_main_trans_code(int main_type);
// The export file name's word for a main type ("All" for any other).
const char *log_kind_word(int main_type);

// The client address of a log entry as the pages show it: a leading
// "::ffff:" is dropped when the address also holds a '.', else the address
// is cut at a '%'. `field` is read up to `field_size`.
void log_client_ip(const char *field, size_t field_size, char *out, size_t size);

// The 512 detail bytes as 128 integers, each of four bytes in big-endian
// order, and back.
void log_detail_to_words(const char *detail, int32_t words[kLogDetailWords]);
void log_detail_from_words(const int32_t words[kLogDetailWords], char *detail);

// The operation sub types of an export whose first sub type is not 10: for
// element k (0 to 2) of `values` with value v, each bit l (0 to 29) set in
// v - 10 adds base(k) + l, base = 101, 131, 200. Elements past `count` add
// nothing. Returns the number written into `out` (at most `capacity`).
int log_operation_sub_types(const int *values, int count, int64_t *out, int capacity);

// The local time of `seconds` as "%4d-%02d-%02d %02d:%02d:%02d".
void log_time_text(int64_t seconds, char *out, size_t size);

// One CSV row assembled in memory and written with one call. It holds the
// widest row an export entry gives (every detail character a quote).
constexpr size_t kCsvRowSize = 16384;
struct CsvRow {
    char text[kCsvRowSize];
    size_t length;
};
// Appends one field and its comma. A field holding a comma, a quote or a
// line break, or any field with `quoted` set, is written in double quotes
// with each quote doubled, so a CSV reader reads it back whole. What would
// not fit the row is left out.
void log_csv_field(CsvRow *row, const char *text, bool quoted);
// Appends `value` in decimal and its comma.
void log_csv_number(CsvRow *row, int64_t value);
// Appends the row's end and writes the row to `out`; the row is empty after.
void log_csv_end(CsvRow *row, FILE *out);
