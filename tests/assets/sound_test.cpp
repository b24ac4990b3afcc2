// Every sound is a plain PCM WAVE file of its stated format and length.
#include "little_endian.h"
#include "sounds.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// The one header a plain PCM WAVE file has: RIFF, the format chunk, then the data chunk.
std::string Header(int channels, int rate, int bits, uint32_t dataSize)
{
    const uint32_t blockAlign = uint32_t(channels * bits / 8);
    std::string h = "RIFF";
    AppendLe32(h, 36 + dataSize + (dataSize & 1));
    h += "WAVEfmt ";
    for (const uint32_t field :
         {16u, 1u | uint32_t(channels) << 16, uint32_t(rate), uint32_t(rate) * blockAlign, blockAlign | uint32_t(bits) << 16})
        AppendLe32(h, field);
    h += "data";
    AppendLe32(h, dataSize);
    return h;
}

// Sample i as a fraction of full scale.
const auto Sample = [](const std::vector<uint8_t>& file, int bits, uint32_t i) -> double {
    return bits == 8 ? (double(file[44 + i]) - 128) / 128 : double(int16_t(LoadLe16(&file[44 + 2 * i]))) / 32768;
};

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
        const std::vector<uint8_t>& file = sounds[i].bytes;
        SCOPED_TRACE(e.id);
        ASSERT_GE(file.size(), 44u);
        const uint32_t dataSize = LoadLe32(&file[40]), samples = dataSize / uint32_t(e.bits / 8);
        EXPECT_EQ(std::tuple(sounds[i].id, std::string(file.begin(), file.begin() + 44), file.size()),
                  std::tuple(e.id, Header(e.channels, e.rate, e.bits, dataSize), 44u + dataSize + (dataSize & 1))); // odd data is padded
        double peak = 0;
        for (uint32_t s = 0; s < samples; ++s)
            peak = std::max(peak, std::abs(Sample(file, e.bits, s)));
        EXPECT_GT(peak, 0.5);
        if (e.dataSize) {
            EXPECT_EQ(dataSize, e.dataSize);
            continue;
        }
        EXPECT_NEAR(double(samples) / e.channels / e.rate, e.milliseconds / 1000.0, 0.5 / e.rate + 1e-9);
        EXPECT_LT(peak, 0.95);
        EXPECT_LT(std::abs(Sample(file, e.bits, samples - uint32_t(e.channels))), 0.02);
        EXPECT_EQ(file, again[i].bytes); // synthesis is repeatable
    }
}

} // namespace
