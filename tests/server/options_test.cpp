#include "options.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

// The fixed command line; a refused one (host "") says why.
TEST(ServerOptions, ReadsTheFixedCommandLineAndRefusesWhatItCannotUse)
{
    const struct {
        std::vector<std::string> args;
        std::string host;
        int port = 0;
        bool postgres = false;
        std::string location = {};
    } cases[] = {
        {{}, "127.0.0.1", 8642, false, ""},
        {{"--listen", "0.0.0.0:80"}, "0.0.0.0", 80, false, ""},
        {{"--listen=[::1]:9000", "--sqlite", "/srv/s.db"}, "::1", 9000, false, "/srv/s.db"},
        {{"--postgres", "host=/run/pg dbname=quibo", "--listen", "localhost:0"}, "localhost", 0, true, "host=/run/pg dbname=quibo"},
        {{"--sqlite=a=b.db"}, "127.0.0.1", 8642, false, "a=b.db"},
        {{"--listen"}, ""},
        {{"--listen", "8642"}, ""},
        {{"--listen", "127.0.0.1:"}, ""},
        {{"--listen", "127.0.0.1:65536"}, ""},
        {{"--listen", "127.0.0.1:80x"}, ""},
        {{"--listen", "::1:8642"}, ""},
        {{"--listen", "[::1]8642"}, ""},
        {{"--listen", ":8642"}, ""},
        {{"--listen", "a:1", "--listen", "b:2"}, ""},
        {{"--sqlite", "a.db", "--postgres", "dbname=x"}, ""},
        {{"--sqlite", ""}, ""},
        {{"--port", "1"}, ""},
        {{"scores.db"}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        OPTIONS options;
        std::string error;
        const bool parsed = ParseOptions(c.args, options, error);
        // A refused one says why.
        EXPECT_EQ((std::tuple{parsed, error.empty()}), (std::tuple{!c.host.empty(), !c.host.empty()})) << error;
        if (parsed) {
            EXPECT_EQ((std::tuple{options.host, options.port, options.postgres, options.postgres ? options.conninfo : options.sqlitePath}),
                      (std::tuple{c.host, c.port, c.postgres, c.location}));
        }
    }
}
