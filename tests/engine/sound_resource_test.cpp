#include <gtest/gtest.h>

#include "cea_sound.h"

namespace {

TEST(SoundResource, FoundAsSoundElseAsWave)
{
    SOUND asSound(nullptr, MAKEINTRESOURCEW(1));
    ASSERT_TRUE(asSound.IsLoaded());
    EXPECT_EQ(asSound.cbData, 400u);
    SOUND asWave(nullptr, MAKEINTRESOURCEW(2));
    ASSERT_TRUE(asWave.IsLoaded());
    EXPECT_EQ(asWave.cbData, 400u);
    SOUND both(nullptr, MAKEINTRESOURCEW(3));
    EXPECT_EQ(both.cbData, 400u); // the "SOUND" one wins
    EXPECT_FALSE(SOUND(nullptr, MAKEINTRESOURCEW(4)).IsLoaded());
}

} // namespace
