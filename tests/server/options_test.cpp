#include "options.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

TEST(ServerOptions, ReadsTheFixedCommandLine)
{
    const struct {
        std::vector<std::string> args;
        std::string host;
        int port;
        bool postgres;
        std::string location;
    } cases[] = {
        {{}, "127.0.0.1", 8642, false, ""},
        {{"--listen", "0.0.0.0:80"}, "0.0.0.0", 80, false, ""},
        {{"--listen=[::1]:9000", "--sqlite", "/srv/s.db"}, "::1", 9000, false, "/srv/s.db"},
        {{"--postgres", "host=/run/pg dbname=quibo", "--listen", "localhost:0"}, "localhost", 0, true, "host=/run/pg dbname=quibo"},
        {{"--sqlite=a=b.db"}, "127.0.0.1", 8642, false, "a=b.db"},
    };
    for (const auto& c : cases) {
        OPTIONS options;
        std::string error;
        ASSERT_TRUE(ParseOptions(c.args, options, error)) << error;
        EXPECT_EQ(options.host, c.host);
        EXPECT_EQ(options.port, c.port);
        EXPECT_EQ(options.postgres, c.postgres);
        EXPECT_EQ(options.postgres ? options.conninfo : options.sqlitePath, c.location);
    }
}

TEST(ServerOptions, RefusesWhatItCannotUse)
{
    const std::vector<std::string> wrong[] = {
        {"--listen"},
        {"--listen", "8642"},
        {"--listen", "127.0.0.1:"},
        {"--listen", "127.0.0.1:65536"},
        {"--listen", "127.0.0.1:80x"},
        {"--listen", "::1:8642"},
        {"--listen", "[::1]8642"},
        {"--listen", ":8642"},
        {"--listen", "a:1", "--listen", "b:2"},
        {"--sqlite", "a.db", "--postgres", "dbname=x"},
        {"--sqlite", ""},
        {"--port", "1"},
        {"scores.db"},
    };
    for (const auto& args : wrong) {
        OPTIONS options;
        std::string error;
        EXPECT_FALSE(ParseOptions(args, options, error)) << args[0];
        EXPECT_FALSE(error.empty());
    }
}
