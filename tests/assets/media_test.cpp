// The game's sounds and the intro's files as resources of a program: the script assets make
// for the game's resource script, compiled into this test, carries the very bytes the
// generator makes, the intro's packed.
#include "sounds.h"
#include "zz.h"

#include "windows.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

std::vector<uint8_t> Resource(WORD id, LPCWSTR type)
{
    HRSRC info = FindResourceW(nullptr, MAKEINTRESOURCEW(id), type);
    if (!info)
        return {};
    const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, info)));
    return std::vector<uint8_t>(data, data + SizeofResource(nullptr, info));
}

TEST(Media, TheSoundsAreResourcesOfTheProgram)
{
    for (const SoundFile& sound : GameSounds())
        EXPECT_EQ(Resource(WORD(sound.id), u"WAVE"), sound.bytes) << sound.id;
    for (const SoundFile& sound : IntroSounds()) {
        const std::vector<uint8_t> packed = Resource(WORD(sound.id), MAKEINTRESOURCEW(4999));
        BYTE* pb = nullptr;
        DWORD cb = 0;
        ASSERT_TRUE(ZZDecompress(&pb, &cb, packed.data(), DWORD(packed.size()))) << sound.id;
        EXPECT_EQ(std::vector<uint8_t>(pb, pb + cb), sound.bytes) << sound.id;
        ZZFree(pb);
    }
}

} // namespace
