#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <iterator>
#include <ctime>
#include <memory>
#include <string>

#include "highscores.h"
#include "records.h"

namespace {

class HighScores : public testing::Test {
protected:
    void SetUp() override
    {
        GameKey().erase();
        DefaultSettings();
        DefaultHighScores();
    }
    void TearDown() override { GameKey().erase(); }
};

// The check value worked out by hand from its definition.
uint32_t expectedCheck(std::u16string_view name, uint32_t score)
{
    uint32_t v = 0x5B7E21D4;
    for (char16_t c : name)
        v = v * 2 + c;
    return ((v ^ score) * 2) ^ score;
}

// Rewrites one entry's field inside the stored record, as a hand edit would.
void editStored(int entry, size_t offset, const void* bytes, size_t cb)
{
    const registry::value stored(GameKey(), u"HighScores");
    const registry::binary before = stored.readBinary();
    std::basic_string<BYTE> record(before.data(), before.size());
    std::memcpy(&record[4 + entry * sizeof(HIGHSCORE) + offset], bytes, cb);
    ASSERT_TRUE(stored.writeBinary(registry::binary(record.data(), static_cast<DWORD>(record.size()), false)));
}

} // namespace

TEST_F(HighScores, DefaultsAreNineUncheckedEntriesBestFirst)
{
    const uint32_t scores[] = {270000, 300000, 405000, 435000, 600000, 750000, 855000, 900000, 1065000};
    for (int i = 0; i < cHIGHSCORES; ++i) {
        EXPECT_EQ(g_highScores[i].dwScore, scores[i]);
        EXPECT_EQ(g_highScores[i].dwCheck, 0u);
        EXPECT_FALSE(HighScoreName(g_highScores[i]).empty());
        for (int j = 0; j < i; ++j)
            EXPECT_NE(HighScoreName(g_highScores[i]), HighScoreName(g_highScores[j]));
    }
    const CALENDARDATE first = UnpackDate(g_highScores[0].dwDate);
    EXPECT_EQ(first.year, 2002u);
    EXPECT_EQ(first.month, 3u);
    EXPECT_EQ(first.day, 16u);
    const CALENDARDATE last = UnpackDate(g_highScores[8].dwDate);
    EXPECT_EQ(last.year, 2000u);
    EXPECT_EQ(last.month, 7u);
    EXPECT_EQ(last.day, 29u);

    // Never marked, having nothing to check.
    CheckHighScores();
    for (const HIGHSCORE& entry : g_highScores)
        EXPECT_NE(HighScoreName(entry), u"Cheater");
}

TEST_F(HighScores, EntryCheckFollowsNameAndScoreOnly)
{
    HIGHSCORE entry{};
    std::u16string_view name = u"Ĵeli Ŭ";
    name.copy(entry.szName, name.size());
    entry.dwScore = 123456;
    entry.dwDate = 1;
    EXPECT_EQ(EntryCheck(entry), expectedCheck(name, 123456));
    const uint32_t check = EntryCheck(entry);
    entry.dwDate = 999999;
    EXPECT_EQ(EntryCheck(entry), check);
    entry.dwScore = 123457;
    EXPECT_NE(EntryCheck(entry), check);
}

TEST_F(HighScores, ANameFillingTheWholeFieldIsReadNoFurther)
{
    // On the heap, sized exactly, so that a read past the entry is caught.
    auto entry = std::make_unique<HIGHSCORE>();
    std::fill(std::begin(entry->szName), std::end(entry->szName), u'Q');
    entry->dwScore = 5;
    EXPECT_EQ(HighScoreName(*entry).size(), 64u);
    EXPECT_EQ(EntryCheck(*entry), expectedCheck(std::u16string(64, u'Q'), 5));

    g_highScores[8] = *entry;
    g_highScores[8].dwCheck = EntryCheck(*entry);
    CheckHighScores();
    EXPECT_EQ(HighScoreName(g_highScores[8]), std::u16string(64, u'Q'));
    g_highScores[8].dwCheck ^= 1;
    CheckHighScores();
    EXPECT_EQ(HighScoreName(g_highScores[8]), u"Cheater");
}

TEST_F(HighScores, EditedNamesAndScoresBecomeCheatersButDatesDoNot)
{
    EnterHighScore(0, u"Ada", 1000);
    EnterHighScore(0, u"Bea", 900);
    EnterHighScore(0, u"Cid", 800);

    const char16_t z = u'Z';
    editStored(0, 0, &z, sizeof z); // "Zid"
    const uint32_t score = 850;
    editStored(1, offsetof(HIGHSCORE, dwScore), &score, sizeof score);
    const uint32_t date = 12345;
    editStored(2, offsetof(HIGHSCORE, dwDate), &date, sizeof date);

    LoadHighScores();
    CheckHighScores();
    EXPECT_EQ(HighScoreName(g_highScores[0]), u"Cheater");
    EXPECT_EQ(g_highScores[0].dwCheck, 0u);
    EXPECT_EQ(g_highScores[0].dwScore, 800u);
    EXPECT_EQ(HighScoreName(g_highScores[1]), u"Cheater");
    EXPECT_EQ(g_highScores[1].dwScore, 850u);
    EXPECT_EQ(HighScoreName(g_highScores[2]), u"Ada");
    EXPECT_EQ(g_highScores[2].dwDate, 12345u);
    EXPECT_NE(g_highScores[2].dwCheck, 0u);
}

TEST_F(HighScores, ATimeMustBeStrictlyBetterToEnter)
{
    EXPECT_EQ(HighScoreRank(1065000), -1);
    EXPECT_EQ(HighScoreRank(1064999), 8);
    EXPECT_EQ(HighScoreRank(270000), 1);
    EXPECT_EQ(HighScoreRank(0), 0);

    const std::u16string eighth(HighScoreName(g_highScores[7]));
    EnterHighScore(8, u"Last", 1064999);
    EXPECT_EQ(g_highScores[8].dwScore, 1064999u);
    EXPECT_EQ(HighScoreName(g_highScores[7]), eighth);

    EnterHighScore(HighScoreRank(300000), u"Tie", 300000);
    EXPECT_EQ(HighScoreName(g_highScores[2]), u"Tie");
    EXPECT_EQ(g_highScores[1].dwScore, 300000u);
    EXPECT_EQ(g_highScores[3].dwScore, 405000u);
    EXPECT_EQ(g_highScores[8].dwScore, 900000u); // the old ninth is gone
}

TEST_F(HighScores, AnEntryIsCheckedDatedAndStoredAtOnce)
{
    EnterHighScore(3, u"Nova", 400000);
    const HIGHSCORE& entry = g_highScores[3];
    EXPECT_EQ(entry.dwCheck, expectedCheck(u"Nova", 400000));
    EXPECT_EQ(entry.dwDate, PackDate());

    HIGHSCORE stored[cHIGHSCORES];
    ASSERT_TRUE(registry::value(GameKey(), u"HighScores").readVersioned(RECORD_VERSION, stored, sizeof stored));
    EXPECT_EQ(std::memcmp(stored, g_highScores, sizeof stored), 0);
    EXPECT_TRUE(registry::value(GameKey(), u"Settings").size() > 0);
}

TEST_F(HighScores, LongNamesAreCutTo63Characters)
{
    EnterHighScore(0, std::u16string(70, u'n'), 1);
    EXPECT_EQ(HighScoreName(g_highScores[0]), std::u16string(63, u'n'));
    EXPECT_EQ(g_highScores[0].szName[63], u'\0');

    // A cut never leaves half a surrogate pair behind.
    std::u16string astral(62, u'a');
    astral += u"\U0001F600";
    EnterHighScore(0, astral, 1);
    EXPECT_EQ(HighScoreName(g_highScores[0]), std::u16string(62, u'a'));
}

TEST_F(HighScores, DatesPackAndUnpack)
{
    EXPECT_EQ(PackDate({2002, 3, 16}), 2002u * 372 + 2 * 31 + 15);
    const CALENDARDATE zero = UnpackDate(0);
    EXPECT_EQ(zero.year, 0u);
    EXPECT_EQ(zero.month, 1u);
    EXPECT_EQ(zero.day, 1u);
    EXPECT_EQ(UnpackDate(PackDate({2031, 12, 31})).day, 31u);

    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const uint32_t today = PackDate(
        {static_cast<uint32_t>(local.tm_year + 1900), static_cast<uint32_t>(local.tm_mon + 1),
         static_cast<uint32_t>(local.tm_mday)});
    EXPECT_EQ(PackDate(), today);
}
