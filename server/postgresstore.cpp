#include <mutex>

#include <libpq-fe.h>

#include "scorestore.h"

namespace {

// A result that is cleared however the call ends.
struct Result {
    PGresult* p;
    ~Result() { PQclear(p); }
};

// The server's notices ("relation already exists, skipping") are not worth a log line.
void ignoreNotice(void*, const char*)
{
}

// One connection, one statement at a time; a connection that broke is re-established before
// the next statement. Every write is one statement, so it is stored whole or not at all.
class PostgresStore final : public ScoreStore {
public:
    explicit PostgresStore(const std::string& conninfo) : m_conn(PQconnectdb(conninfo.c_str()))
    {
        if (!m_conn)
            throw StoreError("cannot connect to PostgreSQL: out of memory");
        if (PQstatus(m_conn) != CONNECTION_OK) {
            const std::string message = errorText();
            PQfinish(m_conn);
            throw StoreError("cannot connect to PostgreSQL: " + message);
        }
        PQsetNoticeProcessor(m_conn, ignoreNotice, nullptr);
        try {
            const Result created{exec("CREATE TABLE IF NOT EXISTS quibo_scores (name text NOT NULL, score bigint NOT NULL, "
                 "date bigint NOT NULL, PRIMARY KEY (score, date, name))",
                                      {}, PGRES_COMMAND_OK)};
        } catch (...) {
            PQfinish(m_conn);
            throw;
        }
    }
    ~PostgresStore() override { PQfinish(m_conn); }

    size_t Add(const std::vector<STOREDSCORE>& scores) override
    {
        if (scores.empty())
            return 0;
        std::string sql = "INSERT INTO quibo_scores (name, score, date) VALUES ";
        std::vector<std::string> values;
        for (const STOREDSCORE& score : scores) {
            const size_t n = values.size();
            sql += (n ? ", ($" : "($") + std::to_string(n + 1) + ", $" + std::to_string(n + 2) + ", $" +
                   std::to_string(n + 3) + ")";
            values.push_back(score.name);
            values.push_back(std::to_string(score.score));
            values.push_back(std::to_string(score.date));
        }
        sql += " ON CONFLICT DO NOTHING";
        std::lock_guard<std::mutex> guard(m_lock);
        const Result result{exec(sql, values, PGRES_COMMAND_OK)};
        return std::stoul(PQcmdTuples(result.p));
    }

    std::vector<STOREDSCORE> Best(size_t count) override
    {
        const std::string limit = std::to_string(count > INT64_MAX ? INT64_MAX : count);
        std::lock_guard<std::mutex> guard(m_lock);
        const Result result{exec("SELECT name, score, date FROM quibo_scores ORDER BY score, date, name LIMIT $1",
                                 {limit}, PGRES_TUPLES_OK)};
        std::vector<STOREDSCORE> best;
        const int rows = PQntuples(result.p);
        best.reserve(static_cast<size_t>(rows));
        for (int row = 0; row < rows; ++row) {
            best.push_back({PQgetvalue(result.p, row, 0),
                            static_cast<uint32_t>(std::stoul(PQgetvalue(result.p, row, 1))),
                            static_cast<uint32_t>(std::stoul(PQgetvalue(result.p, row, 2)))});
        }
        return best;
    }

private:
    std::string errorText() const
    {
        std::string text = PQerrorMessage(m_conn);
        while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
            text.pop_back();
        return text;
    }

    // Runs one statement with text parameters; the caller owns the result.
    PGresult* exec(const std::string& sql, const std::vector<std::string>& values, ExecStatusType expected)
    {
        if (PQstatus(m_conn) != CONNECTION_OK)
            PQreset(m_conn);
        std::vector<const char*> params;
        for (const std::string& value : values)
            params.push_back(value.c_str());
        PGresult* result = PQexecParams(m_conn, sql.c_str(), static_cast<int>(params.size()), nullptr,
                                        params.data(), nullptr, nullptr, 0);
        if (PQresultStatus(result) != expected) {
            PQclear(result);
            throw StoreError("PostgreSQL: " + errorText());
        }
        return result;
    }

    PGconn* m_conn;
    std::mutex m_lock;
};

} // namespace

std::unique_ptr<ScoreStore> OpenPostgresStore(const std::string& conninfo)
{
    return std::make_unique<PostgresStore>(conninfo);
}
