#include "highscores.h"

#include "records.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <ctime>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <set>
#include <string>

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
void editStored(int entry, size_t offset, uint32_t value, size_t cb)
{
    const registry::value stored(GameKey(), u"HighScores");
    const registry::binary before = stored.readBinary();
    std::basic_string<BYTE> record(before.data(), before.size());
    std::memcpy(&record[4 + entry * sizeof(HIGHSCORE) + offset], &value, cb);
    ASSERT_TRUE(stored.writeBinary(registry::binary(record.data(), static_cast<DWORD>(record.size()), false)));
}

} // namespace

// Their dates are pinned where the high-score screen shows them.
TEST_F(HighScores, DefaultsAreNineDistinctUncheckedEntriesBestFirstThatNoCheckMarks)
{
    const uint32_t scores[] = {270000, 300000, 405000, 435000, 600000, 750000, 855000, 900000, 1065000};
    CheckHighScores();
    std::set<std::u16string_view> names;
    for (int i = 0; i < cHIGHSCORES; ++i) {
        EXPECT_EQ(g_highScores[i].dwScore, scores[i]);
        EXPECT_EQ(g_highScores[i].dwCheck, 0u);
        EXPECT_NE(HighScoreName(g_highScores[i]), u"Cheater");
        names.insert(HighScoreName(g_highScores[i]));
    }
    EXPECT_EQ(names.size(), 9u);
    EXPECT_FALSE(names.contains(u""));
}

TEST_F(HighScores, EntryCheckFollowsNameAndScoreOnlyAndReadsNoFurtherThanTheName)
{
    // On the heap, sized exactly, so that a read past the entry is caught.
    auto entry = std::make_unique<HIGHSCORE>();
    std::fill(std::begin(entry->szName), std::end(entry->szName), u'Q');
    entry->dwScore = 5;
    EXPECT_EQ(HighScoreName(*entry), std::u16string(64, u'Q'));
    EXPECT_EQ(EntryCheck(*entry), expectedCheck(std::u16string(64, u'Q'), 5));

    HIGHSCORE named{};
    std::u16string_view(u"Ĵeli Ŭ").copy(named.szName, 6);
    named.dwScore = 123456;
    EXPECT_EQ(EntryCheck(named), expectedCheck(u"Ĵeli Ŭ", 123456));
    named.dwDate = 999999;
    EXPECT_EQ(EntryCheck(named), expectedCheck(u"Ĵeli Ŭ", 123456));
}

TEST_F(HighScores, EditedNamesAndScoresBecomeCheatersButDatesDoNot)
{
    EnterHighScore(0, u"Ada", 1000);
    EnterHighScore(0, u"Bea", 900);
    EnterHighScore(0, u"Cid", 800);
    editStored(0, 0, u'Z', sizeof(char16_t)); // "Zid"
    editStored(1, offsetof(HIGHSCORE, dwScore), 850, 4);
    editStored(2, offsetof(HIGHSCORE, dwDate), 12345, 4);

    LoadHighScores();
    CheckHighScores();
    EXPECT_EQ(HighScoreName(g_highScores[0]), u"Cheater");
    EXPECT_EQ(g_highScores[0].dwCheck, 0u);
    EXPECT_EQ(g_highScores[0].dwScore, 800u);
    EXPECT_EQ(HighScoreName(g_highScores[1]), u"Cheater");
    EXPECT_EQ(g_highScores[1].dwScore, 850u);
    EXPECT_EQ(HighScoreName(g_highScores[2]), u"Ada");
    EXPECT_EQ(g_highScores[2].dwDate, 12345u);
}

TEST_F(HighScores, ATimeMustBeStrictlyBetterToEnterAndEntersCheckedDatedAndStored)
{
    EXPECT_EQ(HighScoreRank(1065000), -1);
    EXPECT_EQ(HighScoreRank(1064999), 8);
    EXPECT_EQ(HighScoreRank(0), 0);
    EXPECT_EQ(HighScoreRank(300000), 2);

    EnterHighScore(8, u"Last", 1064999);
    EXPECT_EQ(g_highScores[8].dwScore, 1064999u);
    EXPECT_EQ(g_highScores[7].dwScore, 900000u);
    EnterHighScore(2, u"Tie", 300000);
    EXPECT_EQ(HighScoreName(g_highScores[2]), u"Tie");
    EXPECT_EQ(g_highScores[1].dwScore, 300000u);
    EXPECT_EQ(g_highScores[3].dwScore, 405000u);
    EXPECT_EQ(g_highScores[8].dwScore, 900000u); // the old ninth is gone
    EXPECT_EQ(g_highScores[2].dwCheck, expectedCheck(u"Tie", 300000));
    EXPECT_EQ(g_highScores[2].dwDate, PackDate());

    HIGHSCORE stored[cHIGHSCORES];
    ASSERT_TRUE(registry::value(GameKey(), u"HighScores").readVersioned(RECORD_VERSION, stored, sizeof stored));
    EXPECT_EQ(std::memcmp(stored, g_highScores, sizeof stored), 0);
}

TEST_F(HighScores, LongNamesAreCutTo63CharactersNeverInsideAPair)
{
    EnterHighScore(0, std::u16string(70, u'n'), 1);
    EXPECT_EQ(HighScoreName(g_highScores[0]), std::u16string(63, u'n'));
    EnterHighScore(0, std::u16string(62, u'a') + u"\U0001F600", 1);
    EXPECT_EQ(HighScoreName(g_highScores[0]), std::u16string(62, u'a'));
}

TEST_F(HighScores, StoredDatesPackDayMonthAndYearIntoOneNumber)
{
    EXPECT_EQ(PackDate({2002, 3, 16}), 2002u * 372 + 2 * 31 + 15);
    const CALENDARDATE zero = UnpackDate(0);
    EXPECT_EQ(std::vector<uint32_t>({zero.year, zero.month, zero.day}), std::vector<uint32_t>({0, 1, 1}));
    EXPECT_EQ(UnpackDate(PackDate({2031, 12, 31})).day, 31u);

    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    EXPECT_EQ(PackDate(), PackDate({static_cast<uint32_t>(local.tm_year + 1900), static_cast<uint32_t>(local.tm_mon + 1),
                                    static_cast<uint32_t>(local.tm_mday)}));
}
