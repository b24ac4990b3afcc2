#include "scorestore.h"

#include <condition_variable>
#include <libpq-fe.h>
#include <mutex>

namespace {

// Enough for the server's workers to overlap their commits; PostgreSQL syncs them together.
constexpr size_t cCONNECTIONS_MAX = 4;

// A result that is cleared however the call ends.
struct Result {
    PGresult* p;
    ~Result() { PQclear(p); }
};

// The server's notices ("relation already exists, skipping") are not worth a log line.
void ignoreNotice(void*, const char*) { }

std::string errorText(PGconn* conn)
{
    std::string text = PQerrorMessage(conn);
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}

// A few connections, each used by one request at a time; a connection that broke is
// re-established before its next statement. Every write is one statement, so it is stored
// whole or not at all.
class PostgresStore final : public ScoreStore {
public:
    explicit PostgresStore(const std::string& conninfo) : m_conninfo(conninfo)
    {
        const Lease lease(*this);
        const Result created{exec(lease.conn,
                                  "CREATE TABLE IF NOT EXISTS quibo_scores (name text NOT NULL, score bigint NOT NULL, "
                                  "date bigint NOT NULL, PRIMARY KEY (score, date, name))",
                                  {}, PGRES_COMMAND_OK)};
    }
    ~PostgresStore() override
    {
        for (PGconn* conn : m_idle)
            PQfinish(conn);
    }

    size_t Add(const std::vector<STOREDSCORE>& scores) override
    {
        if (scores.empty())
            return 0;
        std::string sql = "INSERT INTO quibo_scores (name, score, date) VALUES ";
        std::vector<std::string> values;
        for (const STOREDSCORE& score : scores) {
            const size_t n = values.size();
            sql += (n ? ", ($" : "($") + std::to_string(n + 1) + ", $" + std::to_string(n + 2) + ", $" + std::to_string(n + 3) + ")";
            values.push_back(score.name);
            values.push_back(std::to_string(score.score));
            values.push_back(std::to_string(score.date));
        }
        sql += " ON CONFLICT DO NOTHING";
        const Lease lease(*this);
        const Result result{exec(lease.conn, sql, values, PGRES_COMMAND_OK)};
        return std::stoul(PQcmdTuples(result.p));
    }

    std::vector<STOREDSCORE> Best(size_t count) override
    {
        const std::string limit = std::to_string(count > INT64_MAX ? INT64_MAX : count);
        const Lease lease(*this);
        const Result result{
            exec(lease.conn, "SELECT name, score, date FROM quibo_scores ORDER BY score, date, name LIMIT $1", {limit}, PGRES_TUPLES_OK)};
        std::vector<STOREDSCORE> best;
        const int rows = PQntuples(result.p);
        best.reserve(static_cast<size_t>(rows));
        for (int row = 0; row < rows; ++row) {
            best.push_back({PQgetvalue(result.p, row, 0), static_cast<uint32_t>(std::stoul(PQgetvalue(result.p, row, 1))),
                            static_cast<uint32_t>(std::stoul(PQgetvalue(result.p, row, 2)))});
        }
        return best;
    }

private:
    // A connection borrowed for one statement.
    struct Lease {
        explicit Lease(PostgresStore& store) : store(store), conn(store.take()) { }
        ~Lease() { store.giveBack(conn); }
        PostgresStore& store;
        PGconn* conn;
    };

    PGconn* take()
    {
        {
            std::unique_lock<std::mutex> guard(m_lock);
            m_returned.wait(guard, [this] { return !m_idle.empty() || m_open < cCONNECTIONS_MAX; });
            if (!m_idle.empty()) {
                PGconn* conn = m_idle.back();
                m_idle.pop_back();
                return conn;
            }
            ++m_open;
        }
        PGconn* conn = PQconnectdb(m_conninfo.c_str());
        if (PQstatus(conn) != CONNECTION_OK) {
            const std::string message = conn ? errorText(conn) : "out of memory";
            PQfinish(conn);
            {
                std::lock_guard<std::mutex> guard(m_lock);
                --m_open;
            }
            m_returned.notify_one();
            throw StoreError("cannot connect to PostgreSQL: " + message);
        }
        PQsetNoticeProcessor(conn, ignoreNotice, nullptr);
        return conn;
    }

    void giveBack(PGconn* conn)
    {
        {
            std::lock_guard<std::mutex> guard(m_lock);
            m_idle.push_back(conn);
        }
        m_returned.notify_one();
    }

    // Runs one statement with text parameters; the caller owns the result.
    static PGresult* exec(PGconn* conn, const std::string& sql, const std::vector<std::string>& values, ExecStatusType expected)
    {
        if (PQstatus(conn) != CONNECTION_OK)
            PQreset(conn);
        std::vector<const char*> params;
        for (const std::string& value : values)
            params.push_back(value.c_str());
        PGresult* result = PQexecParams(conn, sql.c_str(), static_cast<int>(params.size()), nullptr, params.data(), nullptr, nullptr, 0);
        if (PQresultStatus(result) != expected) {
            PQclear(result);
            throw StoreError("PostgreSQL: " + errorText(conn));
        }
        return result;
    }

    const std::string m_conninfo;
    std::mutex m_lock;
    std::condition_variable m_returned;
    std::vector<PGconn*> m_idle;
    size_t m_open = 0; // connections made, idle or lent
};

} // namespace

std::unique_ptr<ScoreStore> OpenPostgresStore(const std::string& conninfo)
{
    return std::make_unique<PostgresStore>(conninfo);
}
