#include "cea_sound.h"
#include "test_env.h"
#include "utf.h"
#include "wave_files.h"

#include <cstring>
#include <fstream>
#include <gtest/gtest.h>

namespace {

SOUND Load(const Bytes& file)
{
    return SOUND(file.data(), static_cast<DWORD>(file.size()));
}

// Whatever the file holds, a loaded sound is in the mixer's format: 8-bit PCM at 22050 Hz.
TEST(SoundLoad, EveryLayoutAConverterTakesBecomesTheMixersFormat)
{
    Bytes cd(4410 * 4); // 0.1 s of 44100 Hz 16-bit stereo
    for (size_t i = 0; i < cd.size(); i += 2)
        cd[i + 1] = (i / 4) % 2 ? 0x20 : 0xE0;
    const struct {
        const char* name;
        WaveLayout layout;
        Bytes samples;
        Bytes before; // other chunks before the data
        DWORD cbData; // 0: refused
        WORD channels;
    } cases[] = {
        {"the mixer's own", {}, Sine8(1000, 90, 50), {}, 1000, 1},
        {"cd quality", {.channels = 2, .rate = 44100, .bits = 16}, cd, {}, 4410, 2},
        {"an odd rate: ceil(3832 x 22050 / 8000)", {.rate = 8000, .bits = 16}, Bytes(7664, 0), {}, 10562, 1},
        {"the older format record", {.rate = 11025, .cbFmt = 16}, Bytes(500, 200), {}, 1000, 1},
        {"other chunks first, odd sized", {}, Bytes(10, 60), Chunk("LIST", Bytes(33, 'x')), 10, 1},
        {"compressed", {.tag = 2}, Bytes(100, 1), {}, 0, 0},
        {"24 bits", {.bits = 24}, Bytes(300, 1), {}, 0, 0},
        {"three channels", {.channels = 3}, Bytes(300, 1), {}, 0, 0},
        {"no rate", {.rate = 0}, Bytes(300, 1), {}, 0, 0},
        {"no samples", {}, {}, {}, 0, 0},
        {"no whole frame", {.channels = 2}, {7}, {}, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SOUND s = Load(WaveFile(c.layout, c.samples, c.before));
        EXPECT_EQ(std::tuple(s.IsLoaded(), s.cbData, s.IsPlaying()), std::tuple(c.cbData != 0, c.cbData, false));
        const WAVEFORMATEX mix{WAVE_FORMAT_PCM, c.channels, 22050, 22050u * c.channels, c.channels, 8, 0};
        EXPECT_TRUE(!s.IsLoaded() || std::memcmp(&s.wfx, &mix, sizeof mix) == 0);
        EXPECT_TRUE(!s.IsLoaded() || c.layout.rate != 22050 || c.layout.bits != 8 || Bytes(s.pbData, s.pbData + s.cbData) == c.samples);
    }
}

TEST(SoundLoad, BrokenFilesGiveASoundWithoutData)
{
    Bytes good = WaveFile({.channels = 2, .rate = 44100, .bits = 16}, Bytes(400, 9));
    // Every truncation: nothing read past the end, and no sound unless the data chunk is whole.
    for (size_t cb = 0; cb < good.size(); ++cb)
        EXPECT_FALSE(Load(Bytes(good.begin(), good.begin() + ptrdiff_t(cb))).IsLoaded()) << cb;
    // Not RIFF, not WAVE, "fmt " larger than the file or absent, "data" larger than the file or absent.
    const std::pair<size_t, uint8_t> corruptions[] = {{0, 'X'}, {8, 'X'}, {12 + 7, 0xFF}, {12, 'X'}, {12 + 26 + 7, 0x7F}, {12 + 26, 'X'}};
    for (const auto& [at, value] : corruptions) {
        Bytes bad = good;
        bad[at] = value;
        EXPECT_FALSE(Load(bad).IsLoaded()) << at;
    }
    EXPECT_FALSE(SOUND(static_cast<const void*>(nullptr), 100).IsLoaded());
}

TEST(SoundLoad, FromRawSamplesAFileAndAResource)
{
    WAVEFORMATEX wfx{WAVE_FORMAT_PCM, 2, 11025, 44100, 4, 16, 0};
    Bytes samples(4000, 0);
    EXPECT_EQ(SOUND(&wfx, samples.data(), static_cast<DWORD>(samples.size())).cbData, 4000u); // 1000 frames become 2000
    EXPECT_FALSE(SOUND(&wfx, nullptr, 100).IsLoaded());

    Bytes file = WaveFile({}, Bytes(300, 77));
    std::filesystem::path path = TestRoot() / "tone.wav";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), file.size());
    EXPECT_EQ(SOUND(Utf8ToUtf16(path.string()).c_str()).cbData, 300u);
    EXPECT_FALSE(SOUND(Utf8ToUtf16((TestRoot() / "missing.wav").string()).c_str()).IsLoaded());

    // Resources are found as "SOUND", else as "WAVE"; the "SOUND" one wins.
    for (int id : {1, 2, 3})
        EXPECT_EQ(SOUND(nullptr, MAKEINTRESOURCEW(id)).cbData, 400u) << id;
    EXPECT_FALSE(SOUND(nullptr, MAKEINTRESOURCEW(4)).IsLoaded());
}

} // namespace
