#include "publish.h"

#include "highscores.h"
#include "language.h"
#include "records.h"
#include "utf.h"

#ifndef QUIBO_SCORES_SERVER
#define QUIBO_SCORES_SERVER "http://localhost:8642"
#endif

namespace {

constexpr uint32_t PUBLISH_SEED = 0x5B7E21D4;

bool isAsciiAlphanumeric(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

} // namespace

std::string EncodePublishName(std::u16string_view name)
{
    // Only ASCII letters and digits travel: the address carries the name unescaped.
    std::string encoded;
    for (char16_t c : name) {
        if (c == u' ')
            encoded += '@';
        else if (isAsciiAlphanumeric(c))
            encoded += static_cast<char>(c);
    }
    return encoded;
}

uint32_t PublishCheck(std::string_view encodedName, uint32_t score, uint32_t date)
{
    uint32_t v = PUBLISH_SEED ^ score ^ date;
    for (char c : encodedName) {
        const uint32_t unit = c == '@' ? ' ' : static_cast<unsigned char>(c);
        v = ((v << 1) | (v >> 31)) ^ unit;
    }
    return v;
}

std::string ScoresServer()
{
    std::string server = Utf16ToUtf8(registry::value(GameKey(), u"ScoresServer").readString());
    if (server.empty())
        server = QUIBO_SCORES_SERVER;
    while (!server.empty() && server.back() == '/')
        server.pop_back();
    return server;
}

std::string ScoresLanguageCode()
{
    return CurrentLanguageId() == LANGID_ESPERANTO ? "eo" : "en";
}

std::string PublishAddress()
{
    std::string address = ScoresServer() + "/cgi-bin/score.cgi?post&game&1&lang&" + ScoresLanguageCode();
    for (const HIGHSCORE& entry : g_highScores) {
        if (entry.dwCheck == 0 || entry.dwCheck != EntryCheck(entry))
            continue;
        const std::string name = EncodePublishName(HighScoreName(entry));
        address += "&score&" + std::to_string(entry.dwScore) + "&" + name + "&" + std::to_string(entry.dwDate) +
                   "&" + std::to_string(PublishCheck(name, entry.dwScore, entry.dwDate));
    }
    return address;
}

std::string ViewScoresAddress()
{
    return ScoresServer() + "/quibo/scores-" + ScoresLanguageCode() + ".html";
}
