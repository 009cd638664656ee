// The plate list on SQLite: one table keyed by plate. Batches are one
// transaction over statements prepared once per process, so storing ten
// thousand plates costs one commit.
#include "platform/anprdb/anpr_list.h"

#include <sqlite3.h>

#include <cstdio>
#include <cstring>

#include "platform/sqlite/sqlite_conn.h"

namespace {

constexpr const char *kSchema =
    "CREATE TABLE IF NOT EXISTS anpr_list(plate TEXT PRIMARY KEY NOT NULL, type TEXT NOT NULL) WITHOUT ROWID";

enum StmtId { kPut, kDelete, kSelect, kUpdate, kCount, kAll, kBegin, kCommit, kRollback, kStmtCount };

constexpr const char *kSql[kStmtCount] = {
    "INSERT OR REPLACE INTO anpr_list(plate, type) VALUES(?1, ?2)",
    "DELETE FROM anpr_list WHERE plate = ?1",
    "SELECT type FROM anpr_list WHERE plate = ?1",
    "UPDATE anpr_list SET type = ?2 WHERE plate = ?1",
    "SELECT count(*) FROM anpr_list",
    "SELECT plate, type FROM anpr_list ORDER BY plate",
    "BEGIN IMMEDIATE",
    "COMMIT",
    "ROLLBACK",
};

bool create_schema(sqlite3 *db)
{
    sqlite3_exec(db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
    return sqlite3_exec(db, kSchema, nullptr, nullptr, nullptr) == SQLITE_OK;
}

sqlite3_stmt *g_stmt[kStmtCount];
constinit SqliteConn g_conn{nullptr, 0, {}, g_stmt, kStmtCount};

sqlite3 *connect(const char *device_path) { return sqlite_conn_open(&g_conn, device_path); }

// The cached statement; a fresh file gets its table on first use.
sqlite3_stmt *statement(sqlite3 *, StmtId id)
{
    return sqlite_conn_statement(&g_conn, id, kSql[id], create_schema);
}

// One step of a cached statement with its texts bound; SQLITE_DONE,
// SQLITE_ROW (read `on_row` before the reset) or an error code.
template <typename OnRow>
int step(sqlite3 *db, StmtId id, const char *first, const char *second, OnRow on_row)
{
    sqlite3_stmt *stmt = statement(db, id);
    if (stmt == nullptr)
        return SQLITE_ERROR;
    if ((first != nullptr && sqlite3_bind_text(stmt, 1, first, -1, SQLITE_STATIC) != SQLITE_OK) ||
        (second != nullptr && sqlite3_bind_text(stmt, 2, second, -1, SQLITE_STATIC) != SQLITE_OK)) {
        sqlite3_reset(stmt);
        return SQLITE_ERROR;
    }
    int rc = sqlite3_step(stmt);
    while (rc == SQLITE_ROW && on_row(stmt) == 0)
        rc = sqlite3_step(stmt);
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    return rc;
}

int run(sqlite3 *db, StmtId id, const char *first = nullptr, const char *second = nullptr)
{
    return step(db, id, first, second, [](sqlite3_stmt *) { return 1; });
}

// Texts of a stored entry are read up to their field width.
void copy_column(sqlite3_stmt *stmt, int column, char *field, size_t size)
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, column));
    const int length = sqlite3_column_bytes(stmt, column);
    const size_t taken = text == nullptr ? 0 : static_cast<size_t>(length) < size ? length : size - 1;
    memset(field, 0, size);
    if (taken > 0)
        memcpy(field, text, taken);
}

// Texts of an entry may lack their terminator; bound texts never do.
struct EntryText {
    char type[sizeof(anpr_list_entry::type) + 1];
    char plate[sizeof(anpr_list_entry::plate) + 1];
    explicit EntryText(const anpr_list_entry &entry)
    {
        memcpy(type, entry.type, sizeof entry.type);
        type[sizeof entry.type] = '\0';
        memcpy(plate, entry.plate, sizeof entry.plate);
        plate[sizeof entry.plate] = '\0';
    }
};

// Runs `body` (true when every statement completed) in one transaction.
template <typename Body> int in_transaction(const char *db, Body body)
{
    sqlite3 *conn = connect(db);
    // Preparing first creates the table of a fresh file outside the
    // transaction, so the file's journal mode can still be set.
    if (conn == nullptr || statement(conn, kPut) == nullptr || run(conn, kBegin) != SQLITE_DONE)
        return -1;
    if (body(conn) && run(conn, kCommit) == SQLITE_DONE)
        return 0;
    if (sqlite3_get_autocommit(conn) == 0)
        run(conn, kRollback);
    return -1;
}

// The stored-or-not state of `plate`: SQLITE_ROW when found, SQLITE_DONE
// when absent, else an error; `entry` takes the stored entry when given.
int lookup(sqlite3 *db, const char *plate, anpr_list_entry *entry)
{
    return step(db, kSelect, plate, nullptr, [&](sqlite3_stmt *stmt) {
        if (entry != nullptr) {
            copy_column(stmt, 0, entry->type, sizeof entry->type);
            snprintf(entry->plate, sizeof entry->plate, "%s", plate);
        }
        return 1;
    });
}

bool move_plate(sqlite3 *db, const anpr_list_move &move)
{
    char old_plate[sizeof move.old_plate + 1];
    memcpy(old_plate, move.old_plate, sizeof move.old_plate);
    old_plate[sizeof move.old_plate] = '\0';
    const EntryText entry(move.entry);
    if (run(db, kDelete, old_plate) != SQLITE_DONE)
        return false;
    const int found = lookup(db, entry.plate, nullptr);
    if (found == SQLITE_ROW)
        return run(db, kUpdate, entry.plate, entry.type) == SQLITE_DONE;
    return found == SQLITE_DONE && run(db, kPut, entry.plate, entry.type) == SQLITE_DONE;
}

bool count_valid(const void *entries, int n) { return n >= 0 && n <= kAnprListMax && (n == 0 || entries); }

} // namespace

int write_anpr_list_replace_batch(const char *db, const anpr_list_entry *entries, int n)
{
    if (!count_valid(entries, n))
        return -1;
    return in_transaction(db, [&](sqlite3 *conn) {
        for (int index = 0; index < n; ++index) {
            const EntryText entry(entries[index]);
            if (run(conn, kPut, entry.plate, entry.type) != SQLITE_DONE)
                return false;
        }
        return true;
    });
}

int delete_anpr_lists(const char *db, const anpr_list_entry *entries, int n)
{
    if (!count_valid(entries, n))
        return -1;
    return in_transaction(db, [&](sqlite3 *conn) {
        for (int index = 0; index < n; ++index)
            if (run(conn, kDelete, EntryText(entries[index]).plate) != SQLITE_DONE)
                return false;
        return true;
    });
}

int delete_anpr_list(const char *db, const anpr_list_entry *entry)
{
    return entry != nullptr ? delete_anpr_lists(db, entry, 1) : -1;
}

int read_anpr_list_plate(const char *db, anpr_list_entry *entry, const char *plate)
{
    if (entry == nullptr)
        return -1;
    memset(entry, 0, sizeof *entry);
    sqlite3 *conn = connect(db);
    if (plate == nullptr || conn == nullptr)
        return -1;
    const int found = lookup(conn, plate, entry);
    if (found == SQLITE_ROW)
        return 0;
    memset(entry, 0, sizeof *entry);
    return found == SQLITE_DONE ? 1 : -1;
}

int update_anpr_list(const char *db, const anpr_list_entry *entry)
{
    sqlite3 *conn = connect(db);
    if (entry == nullptr || conn == nullptr)
        return -1;
    const EntryText text(*entry);
    return run(conn, kUpdate, text.plate, text.type) == SQLITE_DONE ? 0 : -1;
}

int write_anpr_list(const char *db, const anpr_list_entry *entry)
{
    return entry != nullptr ? write_anpr_list_replace_batch(db, entry, 1) : -1;
}

int update_anpr_lists(const char *db, const anpr_list_move *moves, int n)
{
    if (!count_valid(moves, n))
        return -1;
    return in_transaction(db, [&](sqlite3 *conn) {
        for (int index = 0; index < n; ++index)
            if (!move_plate(conn, moves[index]))
                return false;
        return true;
    });
}

int count_anpr_lists(const char *db)
{
    sqlite3 *conn = connect(db);
    int count = -1;
    if (conn == nullptr || step(conn, kCount, nullptr, nullptr, [&](sqlite3_stmt *stmt) {
                               count = sqlite3_column_int(stmt, 0);
                               return 1;
                           }) != SQLITE_ROW)
        return -1;
    return count;
}

int for_each_anpr_list(const char *db, AnprListVisitor visit, void *context)
{
    sqlite3 *conn = connect(db);
    if (conn == nullptr || visit == nullptr)
        return -1;
    const int rc = step(conn, kAll, nullptr, nullptr, [&](sqlite3_stmt *stmt) {
        anpr_list_entry entry;
        copy_column(stmt, 0, entry.plate, sizeof entry.plate);
        copy_column(stmt, 1, entry.type, sizeof entry.type);
        return visit(entry, context);
    });
    return rc == SQLITE_DONE || rc == SQLITE_ROW ? 0 : -1;
}

void anpr_list_close() { sqlite_conn_close(&g_conn); }
