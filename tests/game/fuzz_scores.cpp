// The scores server's reading of a posting query, from any bytes. What must hold: a refused
// query yields no entries and names an entry within the table's size; an accepted one holds at
// most the nine entries of a table, in a known language, each name as the game encodes names
// and each carrying its true check value; and the game's writer gives back the very query,
// since the server takes only what the game writes.
#include "fuzz_check.h"
#include "publishformat.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view query(reinterpret_cast<const char*>(data), size);
    const POSTQUERY post = ParsePostQuery(query);
    if (post.error != POSTERROR::None) {
        FUZZ_REQUIRE(post.scores.empty() && post.iEntry < cPUBLISHED_MAX);
        return 0;
    }
    FUZZ_REQUIRE(post.language == "en" || post.language == "eo");
    FUZZ_REQUIRE(post.scores.size() <= cPUBLISHED_MAX && post.iEntry == 0);
    for (const PUBLISHEDSCORE& entry : post.scores) {
        FUZZ_REQUIRE(entry.name.size() <= cchPUBLISHED_NAME_MAX);
        FUZZ_REQUIRE(entry.name.find_first_not_of("0123456789@ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") == std::string::npos);
        FUZZ_REQUIRE(entry.check == PublishCheck(entry.name, entry.score, entry.date));
    }
    FUZZ_REQUIRE(PostQuery(post.language, post.scores) == query);
    return 0;
}
