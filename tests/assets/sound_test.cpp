// Every sound is a plain PCM WAVE file of its stated format and length.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "sounds.h"

namespace {

struct Parsed {
    int format = 0, channels = 0, rate = 0, bits = 0, blockAlign = 0;
    uint32_t dataSize = 0;
    const uint8_t* data = nullptr;
};

uint32_t U32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

uint16_t U16(const uint8_t* p)
{
    return uint16_t(p[0] | p[1] << 8);
}

// Walks the chunks the way a strict reader does.
Parsed Parse(const std::vector<uint8_t>& file)
{
    Parsed parsed;
    EXPECT_GE(file.size(), 44u);
    EXPECT_EQ(std::memcmp(file.data(), "RIFF", 4), 0);
    EXPECT_EQ(std::memcmp(file.data() + 8, "WAVE", 4), 0);
    EXPECT_EQ(U32(file.data() + 4), file.size() - 8);
    for (size_t at = 12; at + 8 <= file.size();) {
        const uint32_t size = U32(file.data() + at + 4);
        EXPECT_LE(at + 8 + size, file.size());
        if (std::memcmp(file.data() + at, "fmt ", 4) == 0) {
            EXPECT_EQ(size, 16u);
            const uint8_t* f = file.data() + at + 8;
            parsed = {U16(f), U16(f + 2), int(U32(f + 4)), U16(f + 14), U16(f + 12), 0, nullptr};
            EXPECT_EQ(U32(f + 8), uint32_t(parsed.rate * parsed.blockAlign));
        } else if (std::memcmp(file.data() + at, "data", 4) == 0) {
            parsed.dataSize = size;
            parsed.data = file.data() + at + 8;
        }
        at += 8 + size + (size & 1);
    }
    return parsed;
}

struct Expected {
    int id, channels, rate, bits, milliseconds;
};

const Expected kGame[] = {
    {205, 1, 8000, 8, 210},    {206, 1, 22050, 8, 1100}, {207, 1, 11025, 8, 240},  {208, 1, 11025, 16, 1100},
    {209, 1, 8000, 8, 1540},   {210, 1, 22050, 8, 130},  {211, 1, 8000, 8, 820},   {212, 1, 22050, 16, 60},
    {213, 1, 11025, 16, 1100}, {214, 2, 44100, 16, 70},  {215, 2, 44100, 16, 90},
};

// The loudest sample as a fraction of full scale.
double Peak(const Parsed& p)
{
    double peak = 0;
    const uint32_t samples = p.dataSize / uint32_t(p.bits / 8);
    for (uint32_t i = 0; i < samples; ++i) {
        const double s = p.bits == 8 ? (double(p.data[i]) - 128) / 128 : double(int16_t(U16(p.data + 2 * i))) / 32768;
        peak = std::max(peak, std::abs(s));
    }
    return peak;
}

TEST(Sounds, GameSoundsHaveTheirFormatsAndLengths)
{
    const std::vector<SoundFile> sounds = GameSounds();
    ASSERT_EQ(sounds.size(), std::size(kGame));
    for (size_t i = 0; i < sounds.size(); ++i) {
        const Expected& e = kGame[i];
        EXPECT_EQ(sounds[i].id, e.id);
        const Parsed p = Parse(sounds[i].bytes);
        EXPECT_EQ(p.format, 1) << e.id;
        EXPECT_EQ(p.channels, e.channels) << e.id;
        EXPECT_EQ(p.rate, e.rate) << e.id;
        EXPECT_EQ(p.bits, e.bits) << e.id;
        EXPECT_EQ(p.blockAlign, e.channels * e.bits / 8) << e.id;
        const double seconds = double(p.dataSize) / double(p.blockAlign) / double(p.rate);
        EXPECT_NEAR(seconds, e.milliseconds / 1000.0, 0.5 / p.rate + 1e-9) << e.id;
        const double peak = Peak(p);
        EXPECT_GT(peak, 0.5) << e.id;
        EXPECT_LT(peak, 0.95) << e.id;
    }
}

TEST(Sounds, IntroSoundsHaveTheirDataSizesToTheByte)
{
    const std::vector<SoundFile> sounds = IntroSounds();
    ASSERT_EQ(sounds.size(), 3u);
    const Expected formats[] = {{5001, 1, 22050, 8, 0}, {5002, 1, 8000, 16, 0}, {5003, 1, 22050, 8, 0}};
    const uint32_t sizes[] = {19288, 7664, 22040};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(sounds[i].id, formats[i].id);
        const Parsed p = Parse(sounds[i].bytes);
        EXPECT_EQ(p.channels, formats[i].channels);
        EXPECT_EQ(p.rate, formats[i].rate);
        EXPECT_EQ(p.bits, formats[i].bits);
        EXPECT_EQ(p.dataSize, sizes[i]);
        EXPECT_GT(Peak(p), 0.5);
    }
}

TEST(Sounds, OddDataIsPaddedAndEverySoundEndsQuietly)
{
    for (const SoundFile& sound : GameSounds()) {
        const Parsed p = Parse(sound.bytes);
        EXPECT_EQ(sound.bytes.size(), 44u + p.dataSize + (p.dataSize & 1)) << sound.id;
        const uint8_t* last = p.data + p.dataSize - p.blockAlign;
        const double s = p.bits == 8 ? (double(last[0]) - 128) / 128 : double(int16_t(U16(last))) / 32768;
        EXPECT_LT(std::abs(s), 0.02) << sound.id;
    }
}

TEST(Sounds, SynthesisIsRepeatable)
{
    const std::vector<SoundFile> first = GameSounds(), second = GameSounds();
    for (size_t i = 0; i < first.size(); ++i)
        EXPECT_EQ(first[i].bytes, second[i].bytes) << first[i].id;
}

} // namespace
