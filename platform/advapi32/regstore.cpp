#include "regstore.h"

#include "trace.h"

#include "hostfolders.h"
#include "winerror.h"

#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <sys/types.h>
#include <unistd.h>
#include <unordered_map>

namespace {

// Raised by a statement; the transaction catches it and rolls back.
struct StoreFailure {
    int code;
};

constexpr int kBusyTimeoutMs = 5000;
constexpr int kSchemaVersion = 1;

constexpr const char* kSchema = R"(
CREATE TABLE IF NOT EXISTS keys (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    parent INTEGER NOT NULL,
    name TEXT NOT NULL,
    folded TEXT NOT NULL,
    UNIQUE (parent, folded));
CREATE TABLE IF NOT EXISTS vals (
    key INTEGER NOT NULL,
    name TEXT NOT NULL,
    folded TEXT NOT NULL,
    type INTEGER NOT NULL,
    data BLOB NOT NULL,
    UNIQUE (key, folded));
INSERT OR IGNORE INTO keys (id, parent, name, folded) VALUES
    (1, 0, 'HKEY_CLASSES_ROOT', 'HKEY_CLASSES_ROOT'),
    (2, 0, 'HKEY_CURRENT_USER', 'HKEY_CURRENT_USER'),
    (3, 0, 'HKEY_LOCAL_MACHINE', 'HKEY_LOCAL_MACHINE');
PRAGMA user_version = 1;
)";

enum class OpenResult { Ready, Damaged, Failed };

bool isDamage(int code)
{
    return code == SQLITE_NOTADB || code == SQLITE_CORRUPT;
}

OpenResult failure(sqlite3* db, int code, const char* step)
{
    Trace("registry: %s failed: %s", step, db ? sqlite3_errmsg(db) : sqlite3_errstr(code));
    return isDamage(code) ? OpenResult::Damaged : OpenResult::Failed;
}

int scalar(sqlite3* db, const char* sql, std::string& result)
{
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(stmt);
        if (rc == SQLITE_ROW) {
            const unsigned char* text = sqlite3_column_text(stmt, 0);
            result = text ? reinterpret_cast<const char*>(text) : "";
            rc = SQLITE_OK;
        }
    }
    sqlite3_finalize(stmt);
    return rc;
}

// Sets the connection up and makes sure the file is a sound store of ours.
OpenResult prepare(sqlite3* db)
{
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    std::string check, version, mode;
    // Only reads until the file has proved sound, so a damaged store is kept as it was found.
    if (int rc = scalar(db, "PRAGMA quick_check", check); rc != SQLITE_OK)
        return failure(db, rc, "check");
    if (check != "ok") {
        Trace("registry: check failed: %s", check.c_str());
        return OpenResult::Damaged;
    }
    if (int rc = scalar(db, "PRAGMA user_version", version); rc != SQLITE_OK)
        return failure(db, rc, "version");
    if (version != "0" && version != std::to_string(kSchemaVersion)) {
        Trace("registry: the store has unknown version %s", version.c_str());
        return OpenResult::Damaged;
    }
    // Write-ahead logging lets readers and one writer of different processes work side by
    // side, and a transaction cut off by a crash is simply not in the log on the next open.
    if (int rc = scalar(db, "PRAGMA journal_mode=WAL", mode); rc != SQLITE_OK)
        return failure(db, rc, "journal mode");
    if (int rc = sqlite3_exec(db, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr); rc != SQLITE_OK)
        return failure(db, rc, "synchronous mode");
    if (version == std::to_string(kSchemaVersion))
        return OpenResult::Ready;
    // A new store; another process may be creating it at the same moment, hence IF NOT EXISTS.
    if (int rc = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr); rc != SQLITE_OK)
        return failure(db, rc, "schema");
    if (int rc = sqlite3_exec(db, kSchema, nullptr, nullptr, nullptr); rc != SQLITE_OK) {
        OpenResult r = failure(db, rc, "schema");
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        return r;
    }
    if (int rc = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr); rc != SQLITE_OK)
        return failure(db, rc, "schema");
    return OpenResult::Ready;
}

OpenResult openStore(const std::string& path, sqlite3*& db)
{
    int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    OpenResult result = rc == SQLITE_OK ? prepare(db) : failure(db, rc, "open");
    if (result != OpenResult::Ready) {
        sqlite3_close(db);
        db = nullptr;
    }
    return result;
}

// Keeps a damaged store (and its log) under a new name beside it; nothing is deleted.
bool moveAside(const std::string& path)
{
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    std::string aside = path + ".damaged-" + stamp;
    for (int n = 2; std::filesystem::exists(aside); ++n)
        aside = path + ".damaged-" + stamp + "-" + std::to_string(n);

    std::error_code error;
    std::filesystem::rename(path, aside, error);
    if (error) {
        Trace("registry: could not move the damaged store %s aside: %s", path.c_str(), error.message().c_str());
        return false;
    }
    for (const char* companion : {"-wal", "-shm"}) {
        if (std::filesystem::exists(path + companion))
            std::filesystem::rename(path + companion, aside + companion, error);
    }
    Trace("registry: %s is damaged; moved it to %s and started a fresh store", path.c_str(), aside.c_str());
    return true;
}

class Store {
public:
    ~Store()
    {
        if (m_db && m_owner == getpid()) {
            for (auto& [sql, kept] : m_kept)
                sqlite3_finalize(kept.stmt);
            sqlite3_close(m_db);
        }
    }

    std::mutex& mutex() { return m_mutex; }

    // This process's connection, opened on first use; nullptr while the store cannot be opened.
    sqlite3* connection()
    {
        // A connection must not cross fork(): a child leaves its parent's alone and opens its own.
        if (m_db && m_owner != getpid()) {
            m_inherited = m_db;
            m_db = nullptr;
            m_kept.clear();
        }
        if (m_db)
            return m_db;
        const std::string path = HostDataFolder() + "/registry.db";
        if (openStore(path, m_db) == OpenResult::Damaged && moveAside(path))
            openStore(path, m_db);
        m_owner = getpid();
        return m_db;
    }

    // A prepared statement for this SQL on this process's connection: the kept one when it is
    // free, else one of its own (an alike statement is still running). Parsing the SQL again
    // on every call was most of a registry call's time. Statements are kept by the address of
    // their text, a literal, and the text is compared in case the address was reused.
    sqlite3_stmt* prepare(sqlite3* db, const char* sql)
    {
        if (db != m_db)
            return prepared(db, sql, 0);
        auto kept = m_kept.find(sql);
        if (kept == m_kept.end()) {
            kept = m_kept.emplace(sql, Kept{prepared(db, sql, SQLITE_PREPARE_PERSISTENT)}).first;
        } else if (kept->second.inUse || std::strcmp(sqlite3_sql(kept->second.stmt), sql) != 0) {
            return prepared(db, sql, 0);
        }
        kept->second.inUse = true;
        return kept->second.stmt;
    }

    // Hands a statement from prepare() back: a kept one is reset for the next call.
    void release(sqlite3_stmt* stmt, const char* sql)
    {
        const auto kept = m_kept.find(sql);
        if (kept == m_kept.end() || kept->second.stmt != stmt) {
            sqlite3_finalize(stmt);
            return;
        }
        sqlite3_reset(stmt);
        sqlite3_clear_bindings(stmt);
        kept->second.inUse = false;
    }

private:
    struct Kept {
        sqlite3_stmt* stmt;
        bool inUse = false;
    };

    static sqlite3_stmt* prepared(sqlite3* db, const char* sql, unsigned flags)
    {
        sqlite3_stmt* stmt = nullptr;
        if (int rc = sqlite3_prepare_v3(db, sql, -1, flags, &stmt, nullptr); rc != SQLITE_OK)
            throw StoreFailure{rc};
        return stmt;
    }

    std::mutex m_mutex;
    std::unordered_map<const char*, Kept> m_kept;
    sqlite3* m_db = nullptr;
    sqlite3* m_inherited = nullptr;
    pid_t m_owner = 0;
};

Store& store()
{
    static Store instance;
    return instance;
}

// Runs a statement that gives no rows; SQLite's result code.
int execute(sqlite3* db, const char* sql)
{
    try {
        Statement(db, sql).run();
        return SQLITE_OK;
    } catch (const StoreFailure& f) {
        return f.code;
    }
}

} // namespace

LONG InStoreTransaction(bool write, const std::function<LONG(sqlite3*)>& body)
{
    std::lock_guard lock(store().mutex());
    sqlite3* db = store().connection();
    if (!db)
        return ERROR_CANTOPEN;
    const LONG failed = write ? ERROR_CANTWRITE : ERROR_CANTREAD;
    if (execute(db, write ? "BEGIN IMMEDIATE" : "BEGIN") != SQLITE_OK) {
        Trace("registry: cannot begin a transaction: %s", sqlite3_errmsg(db));
        return failed;
    }
    try {
        const LONG result = body(db);
        if (result == ERROR_SUCCESS && write) {
            if (int rc = execute(db, "COMMIT"); rc != SQLITE_OK)
                throw StoreFailure{rc};
        } else {
            execute(db, "ROLLBACK");
        }
        return result;
    } catch (const StoreFailure& f) {
        Trace("registry: %s", sqlite3_errstr(f.code));
        execute(db, "ROLLBACK");
        return isDamage(f.code & 0xFF) ? ERROR_BADDB : failed;
    }
}

Statement::Statement(sqlite3* db, const char* sql) : m_db(db), m_sql(sql), m_stmt(store().prepare(db, sql)) { }

Statement::~Statement()
{
    store().release(m_stmt, m_sql);
}

Statement& Statement::bind(sqlite3_int64 value)
{
    if (int rc = sqlite3_bind_int64(m_stmt, m_next++, value); rc != SQLITE_OK)
        throw StoreFailure{rc};
    return *this;
}

Statement& Statement::bind(std::string_view text)
{
    if (int rc = sqlite3_bind_text64(m_stmt, m_next++, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8); rc != SQLITE_OK)
        throw StoreFailure{rc};
    return *this;
}

Statement& Statement::bindBlob(const void* data, size_t size)
{
    // An empty value is an empty blob, not SQL NULL.
    int rc = size ? sqlite3_bind_blob64(m_stmt, m_next++, data, size, SQLITE_TRANSIENT) : sqlite3_bind_zeroblob(m_stmt, m_next++, 0);
    if (rc != SQLITE_OK)
        throw StoreFailure{rc};
    return *this;
}

bool Statement::step()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    throw StoreFailure{sqlite3_extended_errcode(m_db)};
}

void Statement::run()
{
    while (step()) { }
}

sqlite3_int64 Statement::integer(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

std::string Statement::text(int column) const
{
    const unsigned char* text = sqlite3_column_text(m_stmt, column);
    return text ? std::string(reinterpret_cast<const char*>(text), sqlite3_column_bytes(m_stmt, column)) : std::string();
}

const void* Statement::blob(int column) const
{
    return sqlite3_column_blob(m_stmt, column);
}

size_t Statement::bytes(int column) const
{
    return sqlite3_column_bytes(m_stmt, column);
}
