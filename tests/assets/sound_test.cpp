// Every sound is a plain PCM WAVE file of its stated format and length.
#include "sounds.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <vector>

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

// The loudest sample as a fraction of full scale, and the last one's.
double Sample(const Parsed& p, uint32_t i)
{
    return p.bits == 8 ? (double(p.data[i]) - 128) / 128 : double(int16_t(U16(p.data + 2 * i))) / 32768;
}

double Peak(const Parsed& p)
{
    double peak = 0;
    for (uint32_t i = 0; i < p.dataSize / uint32_t(p.bits / 8); ++i)
        peak = std::max(peak, std::abs(Sample(p, i)));
    return peak;
}

// Game sounds have their lengths in milliseconds, the intro's their data sizes to the byte.
TEST(Sounds, EverySoundHasItsFormatAndLengthPeaksAndEndsQuietly)
{
    const struct {
        int id, channels, rate, bits, milliseconds;
        uint32_t dataSize;
    } expected[] = {{205, 1, 8000, 8, 210, 0},    {206, 1, 22050, 8, 1100, 0},  {207, 1, 11025, 8, 240, 0}, {208, 1, 11025, 16, 1100, 0},
                    {209, 1, 8000, 8, 1540, 0},   {210, 1, 22050, 8, 130, 0},   {211, 1, 8000, 8, 820, 0},  {212, 1, 22050, 16, 60, 0},
                    {213, 1, 11025, 16, 1100, 0}, {214, 2, 44100, 16, 70, 0},   {215, 2, 44100, 16, 90, 0}, {5001, 1, 22050, 8, 0, 19288},
                    {5002, 1, 8000, 16, 0, 7664}, {5003, 1, 22050, 8, 0, 22040}};
    std::vector<SoundFile> sounds = GameSounds(), intro = IntroSounds(), again = GameSounds();
    sounds.insert(sounds.end(), intro.begin(), intro.end());
    ASSERT_EQ(sounds.size(), std::size(expected));
    for (size_t i = 0; i < sounds.size(); ++i) {
        const auto& e = expected[i];
        SCOPED_TRACE(e.id);
        EXPECT_EQ(sounds[i].id, e.id);
        const Parsed p = Parse(sounds[i].bytes);
        EXPECT_EQ(std::vector<int>({p.format, p.channels, p.rate, p.bits, p.blockAlign}),
                  std::vector<int>({1, e.channels, e.rate, e.bits, e.channels * e.bits / 8}));
        EXPECT_EQ(sounds[i].bytes.size(), 44u + p.dataSize + (p.dataSize & 1)); // odd data is padded
        EXPECT_GT(Peak(p), 0.5);
        if (e.dataSize) {
            EXPECT_EQ(p.dataSize, e.dataSize);
            continue;
        }
        EXPECT_NEAR(double(p.dataSize) / p.blockAlign / p.rate, e.milliseconds / 1000.0, 0.5 / p.rate + 1e-9);
        EXPECT_LT(Peak(p), 0.95);
        EXPECT_LT(std::abs(Sample(p, p.dataSize / uint32_t(p.bits / 8) - uint32_t(p.channels))), 0.02);
        EXPECT_EQ(sounds[i].bytes, again[i].bytes); // synthesis is repeatable
    }
}

} // namespace
