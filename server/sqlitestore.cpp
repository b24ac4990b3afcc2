#include "scorestore.h"

#include <mutex>
#include <sqlite3.h>

namespace {

// One connection, one writer at a time. The write-ahead log with full syncs keeps every
// answered post through a crash of the server or of the machine.
class SqliteStore final : public ScoreStore {
public:
    explicit SqliteStore(const std::string& path)
    {
        if (sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
            const std::string message = m_db ? sqlite3_errmsg(m_db) : "out of memory";
            sqlite3_close(m_db);
            throw StoreError("cannot open " + path + ": " + message);
        }
        try {
            sqlite3_busy_timeout(m_db, 5000);
            exec("PRAGMA journal_mode=WAL");
            exec("PRAGMA synchronous=FULL");
            // An ordinary table: SQLite 3.40's integrity check reports empty names in a table
            // without row ids as missing.
            exec("CREATE TABLE IF NOT EXISTS quibo_scores (name TEXT NOT NULL, score INTEGER NOT NULL, "
                 "date INTEGER NOT NULL, PRIMARY KEY (score, date, name))");
            checkIntact(path);
            m_insert = prepare("INSERT OR IGNORE INTO quibo_scores (name, score, date) VALUES (?, ?, ?)");
            m_best = prepare("SELECT name, score, date FROM quibo_scores ORDER BY score, date, name LIMIT ?");
        } catch (...) {
            close();
            throw;
        }
    }
    ~SqliteStore() override { close(); }

    size_t Add(const std::vector<STOREDSCORE>& scores) override
    {
        std::lock_guard<std::mutex> guard(m_lock);
        exec("BEGIN IMMEDIATE");
        size_t added = 0;
        try {
            for (const STOREDSCORE& score : scores) {
                sqlite3_reset(m_insert);
                sqlite3_bind_text(m_insert, 1, score.name.data(), static_cast<int>(score.name.size()), SQLITE_STATIC);
                sqlite3_bind_int64(m_insert, 2, score.score);
                sqlite3_bind_int64(m_insert, 3, score.date);
                if (sqlite3_step(m_insert) != SQLITE_DONE)
                    fail("cannot store a score");
                added += static_cast<size_t>(sqlite3_changes(m_db));
            }
            sqlite3_reset(m_insert);
            exec("COMMIT");
        } catch (...) {
            sqlite3_reset(m_insert);
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
            throw;
        }
        return added;
    }

    std::vector<STOREDSCORE> Best(size_t count) override
    {
        std::lock_guard<std::mutex> guard(m_lock);
        std::vector<STOREDSCORE> best;
        sqlite3_reset(m_best);
        sqlite3_bind_int64(m_best, 1, count > INT64_MAX ? INT64_MAX : static_cast<sqlite3_int64>(count));
        int rc;
        while ((rc = sqlite3_step(m_best)) == SQLITE_ROW) {
            const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(m_best, 0));
            best.push_back({name ? name : "", static_cast<uint32_t>(sqlite3_column_int64(m_best, 1)),
                            static_cast<uint32_t>(sqlite3_column_int64(m_best, 2))});
        }
        sqlite3_reset(m_best);
        if (rc != SQLITE_DONE)
            fail("cannot read the scores");
        return best;
    }

private:
    [[noreturn]] void fail(const std::string& what) { throw StoreError(what + ": " + sqlite3_errmsg(m_db)); }

    void exec(const char* sql)
    {
        if (sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
            fail(sql);
    }

    sqlite3_stmt* prepare(const char* sql)
    {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(m_db, sql, -1, &statement, nullptr) != SQLITE_OK)
            fail(sql);
        return statement;
    }

    // A damaged file is refused at start rather than served half-read.
    void checkIntact(const std::string& path)
    {
        sqlite3_stmt* check = prepare("PRAGMA quick_check");
        const unsigned char* verdict = sqlite3_step(check) == SQLITE_ROW ? sqlite3_column_text(check, 0) : nullptr;
        const bool intact = verdict && std::string(reinterpret_cast<const char*>(verdict)) == "ok";
        sqlite3_finalize(check);
        if (!intact)
            throw StoreError(path + " is damaged");
    }

    void close()
    {
        sqlite3_finalize(m_insert);
        sqlite3_finalize(m_best);
        sqlite3_close(m_db);
        m_db = nullptr;
    }

    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_insert = nullptr;
    sqlite3_stmt* m_best = nullptr;
    std::mutex m_lock;
};

} // namespace

std::unique_ptr<ScoreStore> OpenSqliteStore(const std::string& path)
{
    return std::make_unique<SqliteStore>(path);
}
