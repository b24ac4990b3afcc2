#include "service.h"

#include <cstdio>
#include <ctime>
#include <httplib.h>

namespace {

constexpr size_t cchLOGGED_TARGET_MAX = 400;

PAGE postScores(ScoreStore& store, std::string_view query)
{
    const POSTQUERY post = ParsePostQuery(query);
    if (post.error != POSTERROR::None)
        return BadPostPage(post);
    std::vector<STOREDSCORE> scores;
    for (const PUBLISHEDSCORE& entry : post.scores)
        scores.push_back({entry.name, entry.score, entry.date});
    try {
        const size_t added = store.Add(scores);
        return PostedPage(post.language, added, scores.size() - added);
    } catch (const StoreError& error) {
        LogLine(std::string("quibo-scores: ") + error.what());
        return StoreFailedPage(post.language);
    }
}

PAGE scoresPage(ScoreStore& store, std::string_view language)
{
    try {
        return ScoresPage(language, store.Best(cSCORES_SHOWN));
    } catch (const StoreError& error) {
        LogLine(std::string("quibo-scores: ") + error.what());
        return StoreFailedPage(language);
    }
}

// What a client sent, made safe for a log line: anything outside printable ASCII is shown
// as %XX, and very long targets are cut.
std::string loggable(std::string_view text)
{
    if (text.empty())
        return "-";
    std::string safe;
    for (size_t i = 0; i < text.size() && i < cchLOGGED_TARGET_MAX; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c > 0x20 && c < 0x7F && c != '%') {
            safe += static_cast<char>(c);
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", c);
            safe += hex;
        }
    }
    if (text.size() > cchLOGGED_TARGET_MAX)
        safe += "...";
    return safe;
}

std::string utcNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

void answer(httplib::Response& response, const PAGE& page)
{
    response.status = page.status;
    response.set_header("Cache-Control", "no-cache");
    response.set_header("X-Content-Type-Options", "nosniff");
    // The pages carry no script and load nothing: a page that somehow showed a client's
    // markup could still do nothing with it.
    response.set_header("Content-Security-Policy", "default-src 'none'; style-src 'unsafe-inline'");
    response.set_content(page.html, "text/html; charset=utf-8");
}

} // namespace

PAGE Respond(ScoreStore& store, std::string_view target)
{
    const size_t mark = target.find('?');
    const std::string_view path = target.substr(0, mark);
    const std::string_view query = mark == std::string_view::npos ? std::string_view() : target.substr(mark + 1);
    if (path == SCORES_POST_PATH)
        return postScores(store, query);
    for (const char* language : {"en", "eo"})
        if (path == ScoresPagePath(language))
            return scoresPage(store, language);
    return UnknownAddressPage();
}

void ServeScores(httplib::Server& server, ScoreStore& store)
{
    // Answers leave at once rather than wait for the client's acknowledgement of the last
    // segment; nothing the server answers takes a request body.
    server.set_tcp_nodelay(true);
    server.set_payload_max_length(cbPOST_QUERY_MAX);
    server.Get(
        ".*", [&store](const httplib::Request& request, httplib::Response& response) { answer(response, Respond(store, request.target)); });
    // Errors of the HTTP layer itself (an address too long to read, a method other than GET)
    // get a page too, and count as bad requests.
    server.set_error_handler(httplib::Server::HandlerWithResponse([](const httplib::Request&, httplib::Response& response) {
        if (!response.body.empty() || response.status >= 500)
            return httplib::Server::HandlerResponse::Unhandled;
        POSTQUERY tooLong;
        tooLong.error = POSTERROR::TooLong;
        answer(response, response.status == 414 ? BadPostPage(tooLong) : UnknownAddressPage());
        return httplib::Server::HandlerResponse::Handled;
    }));
    server.set_logger([](const httplib::Request& request, const httplib::Response& response) {
        LogLine(utcNow() + " " + loggable(request.remote_addr) + " " + loggable(request.method) + " " + loggable(request.target) + " "
                + std::to_string(response.status) + " " + std::to_string(response.body.size()));
    });
}

void LogLine(std::string_view line)
{
    std::string whole(line);
    whole += '\n';
    std::fputs(whole.c_str(), stderr);
}
