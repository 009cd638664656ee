#include "platform/sqlite/sqlite_conn.h"

#include <unistd.h>

#include <cstring>
#include <ctime>

namespace {

// How long a call waits for another process's write to end.
constexpr long kBusyTimeoutMs = 10000;

long long monotonic_ms()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// Waits for a lock that another process holds. SQLite's own busy timeout
// sleeps up to 100 ms between attempts, so a waiter keeps missing the short
// gaps between the commits of busy writers and can starve past any timeout;
// short, jittered sleeps give every waiter its turn.
int busy_wait(void *, int attempts)
{
    static long long started = 0;
    static unsigned jitter = 0;
    const long long now = monotonic_ms();
    if (attempts == 0) {
        started = now;
        jitter ^= static_cast<unsigned>(getpid()) * 2654435761U ^ static_cast<unsigned>(now);
    }
    if (now - started >= kBusyTimeoutMs)
        return 0;
    jitter = jitter * 1103515245U + 12345U;
    usleep(200 + (jitter >> 16) % 1800);
    return 1;
}

void forget(SqliteConn *conn)
{
    for (size_t index = 0; index < conn->stmt_count; ++index)
        conn->stmt[index] = nullptr;
    conn->db = nullptr;
    conn->pid = 0;
    conn->path[0] = '\0';
}

bool missing_table(sqlite3 *db) { return strncmp(sqlite3_errmsg(db), "no such table", 13) == 0; }

} // namespace

void sqlite_conn_close(SqliteConn *conn)
{
    if (conn->db != nullptr && conn->pid == getpid()) {
        for (size_t index = 0; index < conn->stmt_count; ++index)
            sqlite3_finalize(conn->stmt[index]);
        sqlite3_close_v2(conn->db);
    }
    forget(conn);
}

sqlite3 *sqlite_conn_open(SqliteConn *conn, const char *device_path)
{
    if (device_path == nullptr)
        return nullptr;
    char path[kNvrPathMax];
    nvr_path(path, sizeof path, device_path);
    if (strlen(path) + 1 >= sizeof path) // possibly cut: never open another file
        return nullptr;
    if (conn->db != nullptr && conn->pid != getpid())
        forget(conn);
    if (conn->db != nullptr && strcmp(conn->path, path) != 0)
        sqlite_conn_close(conn);
    if (conn->db != nullptr)
        return conn->db;
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(path, &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK) {
        sqlite3_close_v2(db);
        return nullptr;
    }
    sqlite3_busy_handler(db, busy_wait, nullptr);
    conn->db = db;
    conn->pid = getpid();
    memcpy(conn->path, path, strlen(path) + 1);
    return db;
}

sqlite3_stmt *sqlite_conn_statement(SqliteConn *conn, size_t id, const char *sql,
                                    bool (*create_schema)(sqlite3 *db))
{
    if (conn->db == nullptr || id >= conn->stmt_count)
        return nullptr;
    if (conn->stmt[id] != nullptr)
        return conn->stmt[id];
    sqlite3_stmt *stmt = nullptr;
    int rc = sqlite3_prepare_v3(conn->db, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
    if (rc != SQLITE_OK && missing_table(conn->db) && create_schema(conn->db))
        rc = sqlite3_prepare_v3(conn->db, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(stmt);
        return nullptr;
    }
    conn->stmt[id] = stmt;
    return stmt;
}
