// Configuration database on SQLite: one key/value table and one table of
// whole records keyed by (kind, id).
//
// Every request is a process, so the first query must stay cheap: the
// connection is opened on first use, the schema is two tables (SQLite parses
// all of it on a connection's first query), statements are prepared once and
// reused, and the schema is created only when a query meets a missing table.
// The file runs in WAL mode with a busy timeout, so that request processes
// and the core daemon writing at the same time wait for each other instead of
// losing a write.
#include "platform/confdb/confdb.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <string>
#include <vector>

#include "platform/sqlite/sqlite_conn.h"
#include "platform/sysutil/nvr_path.h"

namespace {

constexpr int kMaxChannels = 64;
// Largest text or record accepted from an imported file.
constexpr int kImportMaxLength = 16 * 1024 * 1024;

constexpr const char *kSchema =
    "CREATE TABLE IF NOT EXISTS params(key TEXT PRIMARY KEY NOT NULL, value TEXT NOT NULL) WITHOUT ROWID;"
    "CREATE TABLE IF NOT EXISTS records(kind INTEGER NOT NULL, id INTEGER NOT NULL, data BLOB NOT NULL,"
    " PRIMARY KEY(kind, id));";

enum StmtId {
    kSelParam,
    kUpdParam,
    kPutParam,
    kSelRecord,
    kPutRecord,
    kDelRecord,
    kSelRecords,
    kAllParams,
    kAllRecords,
    kBegin,
    kCommit,
    kRollback,
    kStmtCount
};

constexpr const char *kSql[kStmtCount] = {
    "SELECT value FROM params WHERE key = ?1",
    "UPDATE params SET value = ?2 WHERE key = ?1",
    "INSERT OR REPLACE INTO params(key, value) VALUES(?1, ?2)",
    "SELECT data FROM records WHERE kind = ?1 AND id = ?2",
    "INSERT OR REPLACE INTO records(kind, id, data) VALUES(?1, ?2, ?3)",
    "DELETE FROM records WHERE kind = ?1 AND id = ?2",
    "SELECT id, data FROM records WHERE kind = ?1 ORDER BY id LIMIT ?2",
    "SELECT key, value FROM params ORDER BY key",
    "SELECT kind, id, data FROM records ORDER BY kind, id",
    // IMMEDIATE takes the write lock at once (waiting through the busy
    // timeout), so a transaction never has to upgrade a read lock, which
    // SQLite would refuse without waiting.
    "BEGIN IMMEDIATE",
    "COMMIT",
    "ROLLBACK",
};

sqlite3_stmt *g_stmt[kStmtCount];
constinit SqliteConn g_conn{nullptr, 0, {}, g_stmt, kStmtCount};
// Reply callbacks run on another thread than the request handler.
std::mutex g_mutex;

// The connection for the device path `device_path`, opened on first use.
sqlite3 *connect(const char *device_path) { return sqlite_conn_open(&g_conn, device_path); }

void rollback_if_open(sqlite3 *db)
{
    if (sqlite3_get_autocommit(db) == 0)
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
}

int create_schema(sqlite3 *db)
{
    // The journal mode is stored in the file; failing to switch (another
    // process holds the file) leaves it to a later creation or to nvrconf.
    sqlite3_exec(db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
    if (sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK)
        return -1;
    if (sqlite3_exec(db, kSchema, nullptr, nullptr, nullptr) != SQLITE_OK ||
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
        rollback_if_open(db);
        return -1;
    }
    return 0;
}

bool schema_created(sqlite3 *db) { return create_schema(db) == 0; }

// The cached statement `id`, prepared on first use. A fresh file has no
// tables yet: the schema is created then, and only then.
sqlite3_stmt *statement(sqlite3 *, StmtId id)
{
    return sqlite_conn_statement(&g_conn, id, kSql[id], schema_created);
}

// The cached statement `id` on the connection of `db`; null when either
// cannot be had.
sqlite3_stmt *prepared(const char *db, StmtId id)
{
    sqlite3 *conn = connect(db);
    return conn != nullptr ? statement(conn, id) : nullptr;
}

// Resets a cached statement when it goes out of scope, which also ends the
// read snapshot that a SELECT holds.
class StmtUse {
public:
    explicit StmtUse(sqlite3_stmt *stmt) : stmt_(stmt) {}
    ~StmtUse()
    {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }
    StmtUse(const StmtUse &) = delete;
    StmtUse &operator=(const StmtUse &) = delete;

private:
    sqlite3_stmt *stmt_;
};

// Runs a statement that returns no rows; true when it completed.
bool run(sqlite3_stmt *stmt) { return sqlite3_step(stmt) == SQLITE_DONE; }

bool run_cached(sqlite3 *db, StmtId id)
{
    sqlite3_stmt *stmt = statement(db, id);
    if (stmt == nullptr)
        return false;
    const StmtUse use(stmt);
    return run(stmt);
}

bool begin(sqlite3 *db) { return run_cached(db, kBegin); }

int commit(sqlite3 *db)
{
    if (run_cached(db, kCommit))
        return 0;
    if (sqlite3_get_autocommit(db) == 0)
        run_cached(db, kRollback);
    return -1;
}

int fail_transaction(sqlite3 *db)
{
    if (sqlite3_get_autocommit(db) == 0)
        run_cached(db, kRollback);
    return -1;
}

bool bind_text(sqlite3_stmt *stmt, int index, const char *text)
{
    return sqlite3_bind_text(stmt, index, text, -1, SQLITE_STATIC) == SQLITE_OK;
}

bool bind_key(sqlite3_stmt *stmt, int kind, int id)
{
    return sqlite3_bind_int(stmt, 1, kind) == SQLITE_OK && sqlite3_bind_int(stmt, 2, id) == SQLITE_OK;
}

// Copies a record column into `out`, zero-extending or cutting to `size`.
void copy_blob(sqlite3_stmt *stmt, int column, void *out, size_t size)
{
    const void *data = sqlite3_column_blob(stmt, column);
    const auto length = static_cast<size_t>(sqlite3_column_bytes(stmt, column));
    const size_t n = length < size ? length : size;
    if (n > 0 && data != nullptr)
        memcpy(out, data, n);
    if (n < size)
        memset(static_cast<char *>(out) + n, 0, size - n);
}

int update_param(const char *db, const char *key, const char *text)
{
    if (key == nullptr || text == nullptr)
        return -1;
    sqlite3 *conn = connect(db);
    sqlite3_stmt *stmt = conn != nullptr ? statement(conn, kUpdParam) : nullptr;
    if (stmt == nullptr)
        return -1;
    const StmtUse use(stmt);
    if (!bind_text(stmt, 1, key) || !bind_text(stmt, 2, text) || !run(stmt))
        return -1;
    return sqlite3_changes(conn) == 1 ? 0 : -1;
}

int put_record(sqlite3 *conn, int kind, int id, const void *record, size_t size)
{
    sqlite3_stmt *stmt = statement(conn, kPutRecord);
    if (stmt == nullptr)
        return -1;
    const StmtUse use(stmt);
    if (!bind_key(stmt, kind, id) ||
        sqlite3_bind_blob64(stmt, 3, size > 0 ? record : "", size, SQLITE_STATIC) != SQLITE_OK || !run(stmt))
        return -1;
    return 0;
}

// Looks record (kind, id) up and hands its row to `on_found`: 1 found, 0
// absent, -1 failure.
template <typename OnFound> int select_record(sqlite3 *conn, int kind, int id, OnFound on_found)
{
    sqlite3_stmt *stmt = statement(conn, kSelRecord);
    if (stmt == nullptr)
        return -1;
    const StmtUse use(stmt);
    if (!bind_key(stmt, kind, id))
        return -1;
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_DONE)
        return 0;
    if (rc != SQLITE_ROW)
        return -1;
    on_found(stmt);
    return 1;
}

// Reads record (kind, id) whole into `out`: 1 found, 0 absent, -1 failure.
int fetch_record(sqlite3 *conn, int kind, int id, std::vector<unsigned char> &out)
{
    return select_record(conn, kind, id, [&](sqlite3_stmt *stmt) {
        const auto *data = static_cast<const unsigned char *>(sqlite3_column_blob(stmt, 0));
        const auto length = static_cast<size_t>(sqlite3_column_bytes(stmt, 0));
        out.assign(data, data + (data != nullptr ? length : 0));
    });
}

// Calls `on_row` for every row of the cached statement `id` under the
// process lock until it returns non-zero. 0, or -1 when the walk failed.
template <typename OnRow> int for_each_row(const char *db, StmtId id, OnRow on_row)
{
    const std::lock_guard<std::mutex> lock(g_mutex);
    sqlite3_stmt *stmt = prepared(db, id);
    if (stmt == nullptr)
        return -1;
    const StmtUse use(stmt);
    int rc = 0;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        if (on_row(stmt) != 0)
            return 0;
    }
    return rc == SQLITE_DONE ? 0 : -1;
}

// Stores `value` little-endian at `at`.
void put_int32(unsigned char *at, int32_t value)
{
    const auto bits = static_cast<uint32_t>(value);
    for (int byte = 0; byte < 4; ++byte)
        at[byte] = static_cast<unsigned char>(bits >> (8 * byte));
}

constexpr size_t kNoIdField = SIZE_MAX;

int copy_record(const char *db, int kind, int from_id, uint64_t channel_mask, size_t id_offset)
{
    sqlite3 *conn = connect(db);
    if (conn == nullptr || statement(conn, kSelRecord) == nullptr || statement(conn, kPutRecord) == nullptr ||
        !begin(conn))
        return -1;
    std::vector<unsigned char> record;
    if (fetch_record(conn, kind, from_id, record) != 1)
        return fail_transaction(conn);
    if (id_offset != kNoIdField && (id_offset > record.size() || record.size() - id_offset < 4))
        return fail_transaction(conn);
    for (int n = 0; n < kMaxChannels; ++n) {
        if ((channel_mask >> n & 1U) == 0 || n == from_id)
            continue;
        if (id_offset != kNoIdField)
            put_int32(record.data() + id_offset, n);
        if (put_record(conn, kind, n, record.data(), record.size()) != 0)
            return fail_transaction(conn);
    }
    return commit(conn);
}

int write_masked(sqlite3 *conn, int kind, const unsigned char *data, size_t record_size, size_t stride,
                 uint64_t channel_mask)
{
    if (statement(conn, kPutRecord) == nullptr || !begin(conn))
        return -1;
    for (int n = 0; n < kMaxChannels; ++n) {
        if ((channel_mask >> n & 1U) != 0 &&
            put_record(conn, kind, n, data + static_cast<size_t>(n) * stride, record_size) != 0)
            return fail_transaction(conn);
    }
    return commit(conn);
}

int set_records_int(sqlite3 *conn, int kind, size_t record_size, size_t offset, int32_t value,
                    uint64_t channel_mask)
{
    if (statement(conn, kSelRecord) == nullptr || statement(conn, kPutRecord) == nullptr || !begin(conn))
        return -1;
    std::vector<unsigned char> record;
    for (int n = 0; n < kMaxChannels; ++n) {
        if ((channel_mask >> n & 1U) == 0)
            continue;
        const int found = fetch_record(conn, kind, n, record);
        if (found < 0)
            return fail_transaction(conn);
        if (found == 0) {
            record.assign(record_size, 0);
            put_int32(record.data(), n);
        } else if (record.size() < record_size) {
            record.resize(record_size, 0);
        }
        put_int32(record.data() + offset, value);
        if (put_record(conn, kind, n, record.data(), record.size()) != 0)
            return fail_transaction(conn);
    }
    return commit(conn);
}

// "file:" URI of a path, for options that only URIs carry.
std::string file_uri(const char *path)
{
    std::string uri = "file:";
    while (path[0] == '/' && path[1] == '/') // "file://" would start an authority
        ++path;
    for (const char *p = path; *p != '\0'; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        if (c <= ' ' || c >= 0x7f || c == '%' || c == '?' || c == '#') {
            char escaped[4];
            snprintf(escaped, sizeof escaped, "%%%02X", c);
            uri += escaped;
        } else {
            uri += static_cast<char>(c);
        }
    }
    return uri;
}

// Opens an exported file for reading with the precautions SQLite advises for
// files from elsewhere; null when it is not a sound export.
sqlite3 *open_export(const char *file)
{
    sqlite3 *src = nullptr;
    const std::string uri = file_uri(file) + "?immutable=1";
    if (sqlite3_open_v2(uri.c_str(), &src, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK) {
        sqlite3_close_v2(src);
        return nullptr;
    }
    sqlite3_db_config(src, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(src, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_db_config(src, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
    sqlite3_db_config(src, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
    sqlite3_limit(src, SQLITE_LIMIT_LENGTH, kImportMaxLength);

    bool sound = sqlite3_exec(src, "PRAGMA cell_size_check=ON", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_stmt *check = nullptr;
    if (sound && sqlite3_prepare_v2(src, "PRAGMA quick_check", -1, &check, nullptr) == SQLITE_OK) {
        const unsigned char *verdict =
            sqlite3_step(check) == SQLITE_ROW ? sqlite3_column_text(check, 0) : nullptr;
        sound = verdict != nullptr && strcmp(reinterpret_cast<const char *>(verdict), "ok") == 0;
    } else {
        sound = false;
    }
    sqlite3_finalize(check);
    check = nullptr;
    if (sound && sqlite3_prepare_v2(src,
                                    "SELECT count(*) FROM sqlite_schema WHERE type = 'table' AND "
                                    "name IN ('params', 'records')",
                                    -1, &check, nullptr) == SQLITE_OK) {
        sound = sqlite3_step(check) == SQLITE_ROW && sqlite3_column_int(check, 0) == 2;
    } else {
        sound = false;
    }
    sqlite3_finalize(check);
    if (!sound) {
        sqlite3_close_v2(src);
        return nullptr;
    }
    return src;
}

// Copies `length` bytes of `text`, cut to size - 1, and terminates.
void copy_cut(char *buffer, int size, const char *text, size_t length)
{
    const auto room = static_cast<size_t>(size) - 1;
    const size_t n = length < room ? length : room;
    memmove(buffer, text, n);
    buffer[n] = '\0';
}

bool in_int_range(sqlite3_int64 value) { return value >= INT_MIN && value <= INT_MAX; }

// Stores every key of `src` through the cached upsert; false on a bad row.
bool import_params(sqlite3 *src, sqlite3 *conn)
{
    sqlite3_stmt *rows = nullptr;
    sqlite3_stmt *put = statement(conn, kPutParam);
    if (put == nullptr ||
        sqlite3_prepare_v2(src, "SELECT key, value FROM params", -1, &rows, nullptr) != SQLITE_OK) {
        sqlite3_finalize(rows);
        return false;
    }
    bool ok = true;
    int rc = 0;
    while (ok && (rc = sqlite3_step(rows)) == SQLITE_ROW) {
        const int value_type = sqlite3_column_type(rows, 1);
        ok = sqlite3_column_type(rows, 0) == SQLITE_TEXT &&
             (value_type == SQLITE_TEXT || value_type == SQLITE_INTEGER || value_type == SQLITE_FLOAT);
        if (!ok)
            break;
        const auto *key = reinterpret_cast<const char *>(sqlite3_column_text(rows, 0));
        const auto *value = reinterpret_cast<const char *>(sqlite3_column_text(rows, 1));
        const StmtUse use(put);
        ok = key != nullptr && value != nullptr && bind_text(put, 1, key) && bind_text(put, 2, value) &&
             run(put);
    }
    ok = ok && rc == SQLITE_DONE;
    sqlite3_finalize(rows);
    return ok;
}

bool import_records(sqlite3 *src, sqlite3 *conn)
{
    sqlite3_stmt *rows = nullptr;
    if (sqlite3_prepare_v2(src, "SELECT kind, id, data FROM records", -1, &rows, nullptr) != SQLITE_OK) {
        sqlite3_finalize(rows);
        return false;
    }
    bool ok = true;
    int rc = 0;
    while (ok && (rc = sqlite3_step(rows)) == SQLITE_ROW) {
        // Types first: reading a value converts it and voids its type.
        ok = sqlite3_column_type(rows, 0) == SQLITE_INTEGER &&
             sqlite3_column_type(rows, 1) == SQLITE_INTEGER && sqlite3_column_type(rows, 2) == SQLITE_BLOB;
        const sqlite3_int64 kind = sqlite3_column_int64(rows, 0);
        const sqlite3_int64 id = sqlite3_column_int64(rows, 1);
        ok = ok && in_int_range(kind) && in_int_range(id);
        if (!ok)
            break;
        const void *data = sqlite3_column_blob(rows, 2);
        const auto size = static_cast<size_t>(sqlite3_column_bytes(rows, 2));
        ok = put_record(conn, static_cast<int>(kind), static_cast<int>(id), data,
                        data != nullptr ? size : 0) == 0;
    }
    ok = ok && rc == SQLITE_DONE;
    sqlite3_finalize(rows);
    return ok;
}

} // namespace

int get_param_int(const char *db, const char *key, int default_value)
{
    if (key == nullptr)
        return default_value;
    const std::lock_guard<std::mutex> lock(g_mutex);
    sqlite3_stmt *stmt = prepared(db, kSelParam);
    if (stmt == nullptr)
        return default_value;
    const StmtUse use(stmt);
    if (!bind_text(stmt, 1, key) || sqlite3_step(stmt) != SQLITE_ROW)
        return default_value;
    const sqlite3_int64 value = sqlite3_column_int64(stmt, 0);
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

int get_param_value(const char *db, const char *key, char *buffer, int size, const char *default_value)
{
    if (buffer == nullptr || size <= 0)
        return -1;
    const std::lock_guard<std::mutex> lock(g_mutex);
    sqlite3 *conn = key != nullptr ? connect(db) : nullptr;
    sqlite3_stmt *stmt = conn != nullptr ? statement(conn, kSelParam) : nullptr;
    if (stmt != nullptr) {
        const StmtUse use(stmt);
        if (bind_text(stmt, 1, key) && sqlite3_step(stmt) == SQLITE_ROW) {
            // Copied before `use` resets the statement, which frees the value.
            const auto *value = reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0));
            copy_cut(buffer, size, value != nullptr ? value : "",
                     static_cast<size_t>(sqlite3_column_bytes(stmt, 0)));
            return 0;
        }
    }
    const char *text = default_value != nullptr ? default_value : "";
    copy_cut(buffer, size, text, strlen(text));
    return 0;
}

int set_param_int(const char *db, const char *key, int value)
{
    char text[16];
    snprintf(text, sizeof text, "%d", value);
    const std::lock_guard<std::mutex> lock(g_mutex);
    return update_param(db, key, text);
}

int set_param_value(const char *db, const char *key, const char *text)
{
    const std::lock_guard<std::mutex> lock(g_mutex);
    return update_param(db, key, text);
}

int check_param_key(const char *db, const char *key)
{
    if (key == nullptr)
        return 1;
    const std::lock_guard<std::mutex> lock(g_mutex);
    sqlite3_stmt *stmt = prepared(db, kSelParam);
    if (stmt == nullptr)
        return 1;
    const StmtUse use(stmt);
    return bind_text(stmt, 1, key) && sqlite3_step(stmt) == SQLITE_ROW ? 0 : 1;
}

int add_param_value(const char *db, const char *key, const char *text)
{
    if (key == nullptr || text == nullptr)
        return -1;
    const std::lock_guard<std::mutex> lock(g_mutex);
    sqlite3_stmt *stmt = prepared(db, kPutParam);
    if (stmt == nullptr)
        return -1;
    const StmtUse use(stmt);
    return bind_text(stmt, 1, key) && bind_text(stmt, 2, text) && run(stmt) ? 0 : -1;
}

int confdb_read_record(const char *db, int kind, int id, void *record, size_t size)
{
    if (record == nullptr)
        return -1;
    memset(record, 0, size);
    const std::lock_guard<std::mutex> lock(g_mutex);
    sqlite3 *conn = connect(db);
    if (conn == nullptr)
        return -1;
    const int found =
        select_record(conn, kind, id, [&](sqlite3_stmt *stmt) { copy_blob(stmt, 0, record, size); });
    if (found < 0)
        return -1;
    return found == 1 ? kRecFound : kRecAbsent;
}

int confdb_write_record(const char *db, int kind, int id, const void *record, size_t size)
{
    if (record == nullptr)
        return -1;
    const std::lock_guard<std::mutex> lock(g_mutex);
    sqlite3 *conn = connect(db);
    return conn != nullptr ? put_record(conn, kind, id, record, size) : -1;
}

int confdb_delete_record(const char *db, int kind, int id)
{
    const std::lock_guard<std::mutex> lock(g_mutex);
    sqlite3_stmt *stmt = prepared(db, kDelRecord);
    if (stmt == nullptr)
        return -1;
    const StmtUse use(stmt);
    return bind_key(stmt, kind, id) && run(stmt) ? 0 : -1;
}

int confdb_read_records(const char *db, int kind, void *array, size_t record_size, int capacity, int *ids)
{
    if (capacity < 0 || (capacity > 0 && (array == nullptr || record_size == 0)))
        return -1;
    if (capacity == 0)
        return 0;
    const std::lock_guard<std::mutex> lock(g_mutex);
    sqlite3_stmt *stmt = prepared(db, kSelRecords);
    if (stmt == nullptr)
        return -1;
    const StmtUse use(stmt);
    if (sqlite3_bind_int(stmt, 1, kind) != SQLITE_OK || sqlite3_bind_int(stmt, 2, capacity) != SQLITE_OK)
        return -1;
    auto *slots = static_cast<char *>(array);
    int count = 0;
    int rc = 0;
    while (count < capacity && (rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        copy_blob(stmt, 1, slots + static_cast<size_t>(count) * record_size, record_size);
        if (ids != nullptr)
            ids[count] = sqlite3_column_int(stmt, 0);
        ++count;
    }
    if (count < capacity && rc != SQLITE_DONE) {
        // A failed walk leaves no half-read table behind.
        memset(array, 0, static_cast<size_t>(count) * record_size);
        return -1;
    }
    return count;
}

int confdb_copy_record(const char *db, int kind, int from_id, uint64_t channel_mask)
{
    const std::lock_guard<std::mutex> lock(g_mutex);
    return copy_record(db, kind, from_id, channel_mask, kNoIdField);
}

int confdb_copy_record_set_id(const char *db, int kind, int from_id, uint64_t channel_mask, size_t id_offset)
{
    if (id_offset == kNoIdField)
        return -1;
    const std::lock_guard<std::mutex> lock(g_mutex);
    return copy_record(db, kind, from_id, channel_mask, id_offset);
}

int confdb_write_masked(const char *db, int kind, const void *data, size_t record_size, size_t stride,
                        uint64_t channel_mask)
{
    if (data == nullptr || record_size == 0)
        return -1;
    const std::lock_guard<std::mutex> lock(g_mutex);
    sqlite3 *conn = connect(db);
    if (conn == nullptr)
        return -1;
    return write_masked(conn, kind, static_cast<const unsigned char *>(data), record_size, stride,
                        channel_mask);
}

int confdb_set_records_int(const char *db, int kind, size_t record_size, size_t offset, int32_t value,
                           uint64_t channel_mask)
{
    if (record_size < sizeof(int32_t) || offset > record_size - sizeof(int32_t))
        return -1;
    const std::lock_guard<std::mutex> lock(g_mutex);
    sqlite3 *conn = connect(db);
    if (conn == nullptr)
        return -1;
    return set_records_int(conn, kind, record_size, offset, value, channel_mask);
}

int confdb_init_schema(const char *db)
{
    const std::lock_guard<std::mutex> lock(g_mutex);
    sqlite3 *conn = connect(db);
    return conn != nullptr ? create_schema(conn) : -1;
}

void confdb_close()
{
    const std::lock_guard<std::mutex> lock(g_mutex);
    sqlite_conn_close(&g_conn);
}

int confdb_for_each_param(const char *db, ConfParamVisitor visit, void *context)
{
    if (visit == nullptr)
        return -1;
    return for_each_row(db, kAllParams, [&](sqlite3_stmt *stmt) {
        const auto *key = reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0));
        const auto *value = reinterpret_cast<const char *>(sqlite3_column_text(stmt, 1));
        return visit(key != nullptr ? key : "", value != nullptr ? value : "", context);
    });
}

int confdb_for_each_record(const char *db, ConfRecordVisitor visit, void *context)
{
    if (visit == nullptr)
        return -1;
    return for_each_row(db, kAllRecords, [&](sqlite3_stmt *stmt) {
        const void *data = sqlite3_column_blob(stmt, 2);
        const auto size = static_cast<size_t>(sqlite3_column_bytes(stmt, 2));
        return visit(sqlite3_column_int(stmt, 0), sqlite3_column_int(stmt, 1), data,
                     data != nullptr ? size : 0, context);
    });
}

int confdb_export(const char *db, const char *file)
{
    if (file == nullptr || file[0] == '\0')
        return -1;
    const std::lock_guard<std::mutex> lock(g_mutex);
    sqlite3 *conn = connect(db);
    // The snapshot must hold both tables even when nothing was stored yet.
    if (conn == nullptr || statement(conn, kSelParam) == nullptr || statement(conn, kSelRecord) == nullptr)
        return -1;

    // The snapshot goes to a new private file beside the target (mkstemp:
    // mode 0600, never an existing file or link) and is renamed over it.
    std::string temp = std::string(file) + ".XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0)
        return -1;
    close(fd);
    sqlite3_stmt *vacuum = nullptr;
    bool ok = sqlite3_prepare_v2(conn, "VACUUM INTO ?1", -1, &vacuum, nullptr) == SQLITE_OK &&
              bind_text(vacuum, 1, temp.c_str()) && run(vacuum);
    sqlite3_finalize(vacuum);

    // A rollback-journal file reads without the side files WAL needs.
    sqlite3 *out = nullptr;
    ok = ok &&
         sqlite3_open_v2(temp.c_str(), &out, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) ==
             SQLITE_OK &&
         sqlite3_exec(out, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr) == SQLITE_OK;
    ok = sqlite3_close_v2(out) == SQLITE_OK && ok;
    ok = ok && rename(temp.c_str(), file) == 0;
    if (!ok) {
        unlink(temp.c_str());
        return -1;
    }
    return 0;
}

int confdb_import(const char *db, const char *file)
{
    if (file == nullptr || file[0] == '\0')
        return -1;
    sqlite3 *src = open_export(file);
    if (src == nullptr)
        return -1;
    int result = -1;
    {
        const std::lock_guard<std::mutex> lock(g_mutex);
        sqlite3 *conn = connect(db);
        // Statements that may create the schema are prepared before the
        // transaction, since creating it takes a transaction of its own.
        if (conn != nullptr && statement(conn, kPutParam) != nullptr &&
            statement(conn, kPutRecord) != nullptr && begin(conn)) {
            if (import_params(src, conn) && import_records(src, conn))
                result = commit(conn);
            else
                result = fail_transaction(conn);
        }
    }
    sqlite3_close_v2(src);
    return result;
}
