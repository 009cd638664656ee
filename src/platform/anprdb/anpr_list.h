// The licence plate list: each plate belongs to one list (its type), kept
// in a database file of its own beside the configuration database. A call
// that takes several entries runs in one transaction: all of them are
// stored, or none.
#pragma once

#include <cstddef>

constexpr const char *ANPR_DB_PATH = "/mnt/nand/app/anpr.db";
constexpr int kAnprListMax = 10000; // entries a request may carry

#pragma pack(push, 1)
struct anpr_list_entry {
    char type[16];
    char plate[64];
};
#pragma pack(pop)
static_assert(sizeof(anpr_list_entry) == 80);
static_assert(offsetof(anpr_list_entry, plate) == 16);

// One change of a plate: the entry of `old_plate` goes, `entry` is stored.
struct anpr_list_move {
    char old_plate[64];
    anpr_list_entry entry;
};

// Every call returns 0 on success and -1 on failure (nothing changed) unless
// it says otherwise; `n` outside 0..kAnprListMax fails.
// Stores the entries, each replacing the entry of its plate.
int write_anpr_list_replace_batch(const char *db, const anpr_list_entry *entries, int n);
// Removes the entries of the plates of `entries` (types are not compared).
int delete_anpr_lists(const char *db, const anpr_list_entry *entries, int n);
int delete_anpr_list(const char *db, const anpr_list_entry *entry);
// The entry of `plate`: 0 when found, 1 when there is none (entry zeroed),
// -1 on failure (entry zeroed).
int read_anpr_list_plate(const char *db, anpr_list_entry *entry, const char *plate);
// Changes the type of the stored entry of entry->plate.
int update_anpr_list(const char *db, const anpr_list_entry *entry);
// Adds the entry (replacing one of the same plate).
int write_anpr_list(const char *db, const anpr_list_entry *entry);
// Each move in order: the old plate's entry is removed, then the new plate's
// entry is changed when it exists, else added.
int update_anpr_lists(const char *db, const anpr_list_move *moves, int n);
// The number of stored entries, or -1.
int count_anpr_lists(const char *db);
// Visits every entry in plate order; a visitor that returns non-zero ends
// the walk. 0, or -1 on failure.
using AnprListVisitor = int (*)(const anpr_list_entry &entry, void *context);
int for_each_anpr_list(const char *db, AnprListVisitor visit, void *context);
// Closes the process's connection (tests and tools).
void anpr_list_close();
