#include "publish.h"

#include "highscores.h"
#include "language.h"
#include "records.h"
#include "utf.h"

#ifndef QUIBO_SCORES_SERVER
#define QUIBO_SCORES_SERVER "http://localhost:8642"
#endif

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
    std::vector<PUBLISHEDSCORE> entries;
    for (const HIGHSCORE& entry : g_highScores) {
        if (entry.dwCheck == 0 || entry.dwCheck != EntryCheck(entry))
            continue;
        std::string name = EncodePublishName(HighScoreName(entry));
        const uint32_t check = PublishCheck(name, entry.dwScore, entry.dwDate);
        entries.push_back({std::move(name), entry.dwScore, entry.dwDate, check});
    }
    return ScoresServer() + std::string(SCORES_POST_PATH) + "?" + PostQuery(ScoresLanguageCode(), entries);
}

std::string ViewScoresAddress()
{
    return ScoresServer() + ScoresPagePath(ScoresLanguageCode());
}
