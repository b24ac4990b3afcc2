// The scores server's answers: posting, the two scores pages, and a 400 page for anything else.
#pragma once

#include "pages.h"
#include "scorestore.h"

#include <string_view>

namespace httplib {
class Server;
}

// The answer to a GET of `target`, the path and query exactly as the client sent them.
PAGE Respond(ScoreStore& store, std::string_view target);

// Routes every request on `server` through Respond, gives errors of the HTTP layer a page of
// their own and logs one line per request on standard error.
void ServeScores(httplib::Server& server, ScoreStore& store);

// One line on standard error, written whole even when threads log at once.
void LogLine(std::string_view line);
