// Posting queries as the game writes them, and ones the server must refuse.
#include "fuzz_seeds.h"
#include "publishformat.h"

namespace {

PUBLISHEDSCORE signedEntry(std::string name, uint32_t score, uint32_t date)
{
    return {name, score, date, PublishCheck(name, score, date)};
}

} // namespace

void WriteSeeds(const SeedFolder& seeds)
{
    const uint32_t date = PackDate({2026, 12, 6});
    seeds.Write("none", PostQuery("en", {}));
    seeds.Write("one", PostQuery("eo", {signedEntry("Ana@Maria", 270000, date)}));
    std::vector<PUBLISHEDSCORE> table;
    for (uint32_t i = 0; i < cPUBLISHED_MAX; ++i)
        table.push_back(signedEntry(std::string(i * 7 + 1, char('a' + i)), 100000 * (i + 1), date - i));
    table[8] = signedEntry(std::string(cchPUBLISHED_NAME_MAX, 'Z'), 4294967295u, 0);
    seeds.Write("whole-table", PostQuery("en", table));
    table.push_back(table[0]);
    seeds.Write("too-many", PostQuery("en", table));
    std::string wrongCheck = PostQuery("en", {signedEntry("x", 1, 2)});
    wrongCheck.back() = wrongCheck.back() == '9' ? '8' : '9';
    seeds.Write("wrong-check", wrongCheck);
    seeds.Write("leading-zero", "post&game&1&lang&en&score&0123&a&1&" + std::to_string(PublishCheck("a", 123, 1)));
    seeds.Write("too-large", "post&game&1&lang&en&score&4294967296&a&1&1");
    seeds.Write("incomplete", "post&game&1&lang&eo&score&1&a&1");
    seeds.Write("other-game", "post&game&2&lang&en");
    seeds.Write("other-language", "post&game&1&lang&de");
    seeds.Write("bad-name", "post&game&1&lang&en&score&1&a-b&1&1");
    seeds.Write("too-long", "post&game&1&lang&en&" + std::string(cbPOST_QUERY_MAX, 'x'));
}
