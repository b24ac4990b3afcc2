// Stored records: the defaults, signed and forged tables, other versions, cut and long ones.
#include "fuzz_seeds.h"
#include "highscores.h"
#include "records.h"

#include <algorithm>
#include <cstring>

namespace {

std::vector<uint8_t> stored(uint32_t version, const void* record, size_t cb, size_t cbAll = 0)
{
    std::vector<uint8_t> bytes(std::max(4 + cb, cbAll), 0x5A);
    std::memcpy(bytes.data(), &version, 4);
    std::copy_n(static_cast<const uint8_t*>(record), cb, bytes.data() + 4);
    return bytes;
}

// The entry under a new name, signed.
void rename(HIGHSCORE& entry, std::u16string_view name)
{
    std::memset(entry.szName, 0, sizeof entry.szName);
    name.copy(entry.szName, cchHIGHSCORE_NAME);
    entry.dwCheck = EntryCheck(entry);
}

} // namespace

// Signed entries, a forged one, a name filling the whole field and one cut inside a pair.
void WriteSeeds(const SeedFolder& seeds)
{
    DefaultHighScores();
    seeds.Write("defaults", stored(RECORD_VERSION, g_highScores, sizeof g_highScores));
    for (HIGHSCORE& entry : g_highScores)
        entry.dwCheck = EntryCheck(entry);
    rename(g_highScores[2], std::u16string(64, u'W'));
    rename(g_highScores[4], std::u16string(62, u'a') + u"\xD83D\xDE00");
    rename(g_highScores[5], u"Ana Maria-Luiza!");
    g_highScores[7].dwScore -= 1;
    const std::pair<const char*, uint32_t> versions[]
        = {{"signed", RECORD_VERSION}, {"newer-minor", 0x00030001}, {"older-major", 0x00020005}, {"newer-major", 0x00040000}};
    for (const auto& [name, version] : versions)
        seeds.Write(name, stored(version, g_highScores, sizeof g_highScores));
    seeds.Write("short", stored(RECORD_VERSION, g_highScores, 300));

    SETTINGS settings = {EFFECTS_ALL, 0, 1, 0, 0xDEADBEEF, {}};
    std::u16string(u"Ada;Bob;;Cleo;").copy(settings.szRecentNames, cchRECENT_NAMES);
    seeds.Write("settings", stored(RECORD_VERSION, &settings, sizeof settings));
    std::u16string(cchRECENT_NAMES, u'n').copy(settings.szRecentNames, cchRECENT_NAMES);
    seeds.Write("long-unterminated", stored(RECORD_VERSION, &settings, sizeof settings, 3000));
    seeds.Write("version-only", stored(RECORD_VERSION, nullptr, 0));
    seeds.Write("three-bytes", std::vector<uint8_t>{0, 0, 3});
    seeds.Write("empty", std::vector<uint8_t>{});
}
