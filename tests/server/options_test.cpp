#include "options.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

// The fixed command line, and what it refuses, saying why.
TEST(ServerOptions, ReadsTheFixedCommandLineAndRefusesWhatItCannotUse)
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
    std::string error;
    for (const auto& c : cases) {
        OPTIONS options;
        EXPECT_TRUE(ParseOptions(c.args, options, error)) << error;
        EXPECT_EQ((std::tuple{options.host, options.port, options.postgres, options.postgres ? options.conninfo : options.sqlitePath}),
                  (std::tuple{c.host, c.port, c.postgres, c.location}));
    }
    // Each refused command line, its arguments split at "|".
    for (const std::string line : {"--listen", "--listen|8642", "--listen|127.0.0.1:", "--listen|127.0.0.1:65536", "--listen|127.0.0.1:80x",
                                   "--listen|::1:8642", "--listen|[::1]8642", "--listen|:8642", "--listen|a:1|--listen|b:2",
                                   "--sqlite|a.db|--postgres|dbname=x", "--sqlite|", "--port|1", "scores.db"}) {
        std::vector<std::string> args(1);
        for (const char c : line)
            c == '|' ? args.emplace_back() : args.back() += c;
        OPTIONS options;
        error.clear();
        EXPECT_FALSE(ParseOptions(args, options, error)) << line;
        EXPECT_FALSE(error.empty());
    }
}
