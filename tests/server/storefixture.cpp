#include "storefixture.h"

#include "publishformat.h"
#include "test_env.h"
#include "throwawaypostgres.h"

#include <libpq-fe.h>

void EachStore::SetUp()
{
    static int count = 0;
    const std::string name = "scores" + std::to_string(++count);
    if (GetParam() == STOREKIND::Sqlite) {
        m_location = (TestRoot() / (name + ".db")).string();
        return;
    }
    if (ThrowawayPostgres::ProgramFolder().empty())
        GTEST_SKIP() << "PostgreSQL is not installed (no initdb under /usr/lib/postgresql): "
                        "the PostgreSQL store is not tested here";
    // One server for the whole test program, started when a test first needs it; a fresh
    // database for each test.
    static std::string error;
    static const std::unique_ptr<ThrowawayPostgres> server = [] {
        auto made = std::make_unique<ThrowawayPostgres>();
        return made->Start(false, error) ? std::move(made) : nullptr;
    }();
    ASSERT_NE(server, nullptr) << "cannot start a PostgreSQL server: " << error;
    PGconn* conn = PQconnectdb(server->Conninfo().c_str());
    PGresult* result = PQexec(conn, ("CREATE DATABASE " + name).c_str());
    EXPECT_EQ(PQresultStatus(result), PGRES_COMMAND_OK) << PQerrorMessage(conn);
    PQclear(result);
    PQfinish(conn);
    m_location = server->Conninfo() + " dbname=" + name;
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
