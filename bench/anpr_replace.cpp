// Plate list batch write against its floor: the store's replace of 10000
// plates, and the same 10000 rows written by one prepared statement in one
// transaction straight through SQLite, each into a fresh file of the same
// schema and journal mode, in one run; the clock runs from preparing the
// statements to the commit. Prints the best of a few rounds of each and
// their ratio.
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/anprdb/anpr_list.h"

namespace {

constexpr int kPlates = 10000;
constexpr int kRounds = 5;

double now_ms()
{
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

std::vector<anpr_list_entry> make_entries()
{
    std::vector<anpr_list_entry> entries(kPlates);
    for (int index = 0; index < kPlates; ++index) {
        snprintf(entries[index].type, sizeof entries[index].type, "%s", index % 2 == 0 ? "black" : "white");
        snprintf(entries[index].plate, sizeof entries[index].plate, "PL%05d", index);
    }
    return entries;
}

double store_round(const char *root, const std::vector<anpr_list_entry> &entries)
{
    const std::string file = std::string(root) + ANPR_DB_PATH;
    unlink(file.c_str());
    unlink((file + "-wal").c_str());
    unlink((file + "-shm").c_str());
    // The file and its table exist before the clock starts, as they do for
    // every request but the first.
    count_anpr_lists(ANPR_DB_PATH);
    const double start = now_ms();
    if (write_anpr_list_replace_batch(ANPR_DB_PATH, entries.data(), kPlates) != 0) {
        fprintf(stderr, "store write failed\n");
        exit(1);
    }
    const double elapsed = now_ms() - start;
    anpr_list_close();
    return elapsed;
}

double direct_round(const std::string &file, const std::vector<anpr_list_entry> &entries)
{
    unlink(file.c_str());
    unlink((file + "-wal").c_str());
    unlink((file + "-shm").c_str());
    sqlite3 *db = nullptr;
    sqlite3_open(file.c_str(), &db);
    sqlite3_exec(db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
    sqlite3_exec(db,
                 "CREATE TABLE anpr_list(plate TEXT PRIMARY KEY NOT NULL, type TEXT NOT NULL) WITHOUT ROWID",
                 nullptr, nullptr, nullptr);
    const double start = now_ms();
    sqlite3_stmt *stmt = nullptr;
    sqlite3_prepare_v2(db, "INSERT OR REPLACE INTO anpr_list(plate, type) VALUES(?1, ?2)", -1, &stmt,
                       nullptr);
    sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    for (const anpr_list_entry &entry : entries) {
        sqlite3_bind_text(stmt, 1, entry.plate, -1, SQLITE_STATIC);
        sqlite3_bind_text(stmt, 2, entry.type, -1, SQLITE_STATIC);
        if (sqlite3_step(stmt) != SQLITE_DONE) {
            fprintf(stderr, "direct write failed\n");
            exit(1);
        }
        sqlite3_reset(stmt);
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    const double elapsed = now_ms() - start;
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return elapsed;
}

} // namespace

int main()
{
    const char *root = getenv("NVR_ROOT");
    if (root == nullptr || *root == '\0') {
        fprintf(stderr, "NVR_ROOT must name a private folder\n");
        return 2;
    }
    const std::vector<anpr_list_entry> entries = make_entries();
    const std::string direct_file = std::string(root) + "/direct.db";
    double store = 1e9;
    double direct = 1e9;
    for (int round = 0; round < kRounds; ++round) {
        store = std::min(store, store_round(root, entries));
        direct = std::min(direct, direct_round(direct_file, entries));
    }
    printf("anpr replace: %d plates, store %.1f ms, one prepared statement %.1f ms, ratio %.2f (target <= "
           "1.50)\n",
           kPlates, store, direct, store / direct);
    return 0;
}
