// The game's sounds and the intro's files as resources of a program: the script assets make
// for the game's resource script, compiled into this test.
#include "zz.h"

#include "windows.h"

#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace {

std::vector<BYTE> Resource(WORD id, LPCWSTR type)
{
    HRSRC info = FindResourceW(nullptr, MAKEINTRESOURCEW(id), type);
    if (!info)
        return {};
    const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, info)));
    return std::vector<BYTE>(data, data + SizeofResource(nullptr, info));
}

// The data chunk's size, or 0 when the file is not a PCM WAVE of that many channels and bits.
uint32_t PcmDataSize(const std::vector<BYTE>& wave, WORD channels, DWORD rate, WORD bits)
{
    if (wave.size() < 44 || std::memcmp(wave.data(), "RIFF", 4) != 0 || std::memcmp(wave.data() + 36, "data", 4) != 0)
        return 0;
    WORD format, gotChannels, gotBits;
    DWORD gotRate, size;
    std::memcpy(&format, wave.data() + 20, 2);
    std::memcpy(&gotChannels, wave.data() + 22, 2);
    std::memcpy(&gotRate, wave.data() + 24, 4);
    std::memcpy(&gotBits, wave.data() + 34, 2);
    std::memcpy(&size, wave.data() + 40, 4);
    return format == 1 && gotChannels == channels && gotRate == rate && gotBits == bits ? size : 0;
}

TEST(Media, GameSoundsAreWaveResources)
{
    const struct {
        WORD id, channels;
        DWORD rate;
        WORD bits;
    } sounds[] = {{205, 1, 8000, 8}, {206, 1, 22050, 8},  {207, 1, 11025, 8},  {208, 1, 11025, 16}, {209, 1, 8000, 8},  {210, 1, 22050, 8},
                  {211, 1, 8000, 8}, {212, 1, 22050, 16}, {213, 1, 11025, 16}, {214, 2, 44100, 16}, {215, 2, 44100, 16}};
    for (const auto& s : sounds)
        EXPECT_GT(PcmDataSize(Resource(s.id, u"WAVE"), s.channels, s.rate, s.bits), 0u) << s.id;
}

TEST(Media, IntroSoundsUnpackFromTheirContainers)
{
    const struct {
        WORD id;
        DWORD rate;
        WORD bits;
        uint32_t size;
    } sounds[] = {{5001, 22050, 8, 19288}, {5002, 8000, 16, 7664}, {5003, 22050, 8, 22040}};
    for (const auto& s : sounds) {
        const std::vector<BYTE> packed = Resource(s.id, MAKEINTRESOURCEW(4999));
        ASSERT_FALSE(packed.empty()) << s.id;
        BYTE* pb = nullptr;
        DWORD cb = 0;
        ASSERT_TRUE(ZZDecompress(&pb, &cb, packed.data(), DWORD(packed.size()))) << s.id;
        const std::vector<BYTE> wave(pb, pb + cb);
        ZZFree(pb);
        EXPECT_EQ(PcmDataSize(wave, 1, s.rate, s.bits), s.size) << s.id;
    }
}

} // namespace
