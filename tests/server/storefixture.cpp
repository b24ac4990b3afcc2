#include "storefixture.h"

#include "publishformat.h"
#include "test_env.h"
#include "throwawaypostgres.h"

#include <libpq-fe.h>

namespace {

// One server for the whole test program, started when a test first needs it.
ThrowawayPostgres* sharedPostgres(std::string& error)
{
    static std::string startError;
    static const std::unique_ptr<ThrowawayPostgres> server = [] {
        auto made = std::make_unique<ThrowawayPostgres>();
        return made->Start(false, startError) ? std::move(made) : nullptr;
    }();
    error = startError;
    return server.get();
}

std::string freshDatabase(const std::string& conninfo)
{
    static int count = 0;
    const std::string name = "scores" + std::to_string(++count);
    PGconn* conn = PQconnectdb(conninfo.c_str());
    PGresult* result = PQexec(conn, ("CREATE DATABASE " + name).c_str());
    EXPECT_EQ(PQresultStatus(result), PGRES_COMMAND_OK) << PQerrorMessage(conn);
    PQclear(result);
    PQfinish(conn);
    return conninfo + " dbname=" + name;
}

} // namespace

void EachStore::SetUp()
{
    static int count = 0;
    if (GetParam() == STOREKIND::Sqlite) {
        m_location = (TestRoot() / ("scores" + std::to_string(++count) + ".db")).string();
        return;
    }
    if (ThrowawayPostgres::ProgramFolder().empty())
        GTEST_SKIP() << "PostgreSQL is not installed (no initdb under /usr/lib/postgresql): "
                        "the PostgreSQL store is not tested here";
    std::string error;
    ThrowawayPostgres* server = sharedPostgres(error);
    ASSERT_NE(server, nullptr) << "cannot start a PostgreSQL server: " << error;
    m_location = freshDatabase(server->Conninfo());
}

std::unique_ptr<ScoreStore> EachStore::Open() const
{
    return GetParam() == STOREKIND::Sqlite ? OpenSqliteStore(m_location) : OpenPostgresStore(m_location);
}

std::vector<std::string> EachStore::ServerArgs() const
{
    return {GetParam() == STOREKIND::Sqlite ? "--sqlite" : "--postgres", m_location};
}

std::string StoreKindName(const testing::TestParamInfo<STOREKIND>& info)
{
    return info.param == STOREKIND::Sqlite ? "Sqlite" : "Postgres";
}

std::string PostOf(const std::vector<STOREDSCORE>& scores, const char* language)
{
    std::vector<PUBLISHEDSCORE> entries;
    for (const STOREDSCORE& s : scores)
        entries.push_back({s.name, s.score, s.date, PublishCheck(s.name, s.score, s.date)});
    return std::string(SCORES_POST_PATH) + "?" + PostQuery(language, entries);
}
