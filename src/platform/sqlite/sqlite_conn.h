// A process's connection to one SQLite database file by its device path:
// opened on first use, its statements prepared once and kept, and its
// schema created only when a statement meets a missing table. Every
// request is a process, so the first query must stay cheap.
#pragma once

#include <sqlite3.h>
#include <sys/types.h>

#include <cstddef>

#include "platform/sysutil/nvr_path.h"

// The connection belongs to the process that opened it: a forked child
// never uses (or closes) its parent's connection. `stmt` points to the
// owner's `stmt_count` statement slots.
struct SqliteConn {
    sqlite3 *db;
    pid_t pid;
    char path[kNvrPathMax];
    sqlite3_stmt **stmt;
    size_t stmt_count;
};

// The connection to `device_path` (resolved through nvr_path), opened when
// needed; a connection to another file is closed first. Waits for other
// processes' locks up to 10 s, giving every waiter its turn. Null when the
// file cannot be opened or its path would be cut.
sqlite3 *sqlite_conn_open(SqliteConn *conn, const char *device_path);
// Finalises the statements and closes the connection when this process
// opened it; forgets it either way.
void sqlite_conn_close(SqliteConn *conn);
// The cached statement `id` of `sql`, prepared on first use. A statement
// that meets a missing table runs `create_schema` (true on success) once
// and is prepared again. Null when it cannot be prepared.
sqlite3_stmt *sqlite_conn_statement(SqliteConn *conn, size_t id, const char *sql,
                                    bool (*create_schema)(sqlite3 *db));
