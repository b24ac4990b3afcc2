// Runs a test against each store: an SQLite file in the test's folder, and a fresh database
// on a PostgreSQL server of the test program's own (skipped, saying so, where PostgreSQL is not
// installed).
#pragma once

#include "scorestore.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

enum class STOREKIND { Sqlite, Postgres };

class EachStore : public testing::TestWithParam<STOREKIND> {
protected:
    void SetUp() override;

    // Opens the test's store; each call opens it anew, as a restarted server would.
    std::unique_ptr<ScoreStore> Open() const;
    // The server's command-line arguments for the same store.
    std::vector<std::string> ServerArgs() const;

    std::string m_location;
};

std::string StoreKindName(const testing::TestParamInfo<STOREKIND>& info);

// The address the game opens to publish `scores`, with their check values.
std::string PostOf(const std::vector<STOREDSCORE>& scores, const char* language = "en");

#define INSTANTIATE_FOR_EACH_STORE(suite)                                                                                                  \
    INSTANTIATE_TEST_SUITE_P(Stores, suite, testing::Values(STOREKIND::Sqlite, STOREKIND::Postgres), StoreKindName)
