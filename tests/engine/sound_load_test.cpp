#include <gtest/gtest.h>

#include <fstream>

#include "cea_sound.h"
#include "test_env.h"
#include "utf.h"
#include "wave_files.h"

namespace {

SOUND* fromBytes(const Bytes& file)
{
    return new SOUND(file.data(), static_cast<DWORD>(file.size()));
}

TEST(SoundLoad, KeepsTheMixersFormatAsItIs)
{
    Bytes samples = Sine8(1000, 90, 50);
    std::unique_ptr<SOUND> s(fromBytes(WaveFile({}, samples)));
    ASSERT_TRUE(s->IsLoaded());
    EXPECT_EQ(Bytes(s->pbData, s->pbData + s->cbData), samples);
    EXPECT_EQ(s->wfx.nChannels, 1);
    EXPECT_EQ(s->wfx.nAvgBytesPerSec, 22050u);
    EXPECT_EQ(s->wfx.nBlockAlign, 1);
    EXPECT_FALSE(s->IsPlaying());
}

TEST(SoundLoad, BringsCdQualityStereoToTheMixersRateAndSize)
{
    // 0.1 s of 44100 Hz 16-bit stereo: 4410 frames become 2205 of 8-bit stereo.
    Bytes samples(4410 * 4);
    for (size_t i = 0; i < samples.size(); i += 2)
        samples[i + 1] = (i / 4) % 2 ? 0x20 : 0xE0;
    std::unique_ptr<SOUND> s(fromBytes(WaveFile({.channels = 2, .rate = 44100, .bits = 16}, samples)));
    ASSERT_TRUE(s->IsLoaded());
    EXPECT_EQ(s->cbData, 4410u);
    EXPECT_EQ(s->wfx.wFormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(s->wfx.nChannels, 2);
    EXPECT_EQ(s->wfx.nSamplesPerSec, 22050u);
    EXPECT_EQ(s->wfx.wBitsPerSample, 8);
    EXPECT_EQ(s->wfx.nBlockAlign, 2);
    EXPECT_EQ(s->wfx.cbSize, 0);
}

TEST(SoundLoad, RaisesAnOddRateThroughTheWholeChain)
{
    // The intro's second sound: 8000 Hz 16-bit mono, 7664 bytes.
    std::unique_ptr<SOUND> s(fromBytes(WaveFile({.rate = 8000, .bits = 16}, Bytes(7664, 0))));
    ASSERT_TRUE(s->IsLoaded());
    EXPECT_EQ(s->cbData, 10562u); // ceil(3832 × 22050 / 8000)
    EXPECT_EQ(s->wfx.nChannels, 1);
}

TEST(SoundLoad, ReadsTheOlderSixteenByteFormat)
{
    std::unique_ptr<SOUND> s(fromBytes(WaveFile({.rate = 11025, .cbFmt = 16}, Bytes(500, 200))));
    ASSERT_TRUE(s->IsLoaded());
    EXPECT_EQ(s->cbData, 1000u);
    EXPECT_EQ(s->wfx.cbSize, 0);
}

TEST(SoundLoad, SkipsOtherChunksBeforeTheData)
{
    Bytes list = Chunk("LIST", Bytes(33, 'x')); // odd size: no pad byte is expected
    std::unique_ptr<SOUND> s(fromBytes(WaveFile({}, Bytes(10, 60), list)));
    ASSERT_TRUE(s->IsLoaded());
    EXPECT_EQ(Bytes(s->pbData, s->pbData + s->cbData), Bytes(10, 60));
}

TEST(SoundLoad, RefusesWhatNoConverterTakes)
{
    EXPECT_FALSE(std::unique_ptr<SOUND>(fromBytes(WaveFile({.tag = 2}, Bytes(100, 1))))->IsLoaded());
    EXPECT_FALSE(std::unique_ptr<SOUND>(fromBytes(WaveFile({.bits = 24}, Bytes(300, 1))))->IsLoaded());
    EXPECT_FALSE(std::unique_ptr<SOUND>(fromBytes(WaveFile({.channels = 3}, Bytes(300, 1))))->IsLoaded());
    EXPECT_FALSE(std::unique_ptr<SOUND>(fromBytes(WaveFile({.rate = 0}, Bytes(300, 1))))->IsLoaded());
    // No whole frame of samples to play.
    EXPECT_FALSE(std::unique_ptr<SOUND>(fromBytes(WaveFile({}, {})))->IsLoaded());
    EXPECT_FALSE(std::unique_ptr<SOUND>(fromBytes(WaveFile({.channels = 2}, {7})))->IsLoaded());
}

TEST(SoundLoad, BrokenFilesGiveASoundWithoutData)
{
    Bytes good = WaveFile({.channels = 2, .rate = 44100, .bits = 16}, Bytes(400, 9));
    // Every truncation: nothing read past the end, and no sound unless the data chunk is whole.
    for (size_t cb = 0; cb < good.size(); ++cb) {
        SOUND s(good.data(), static_cast<DWORD>(cb));
        EXPECT_FALSE(s.IsLoaded()) << cb;
    }
    auto corrupt = [&](size_t at, uint8_t value) {
        Bytes bad = good;
        bad[at] = value;
        return std::unique_ptr<SOUND>(fromBytes(bad));
    };
    EXPECT_FALSE(corrupt(0, 'X')->IsLoaded()); // not RIFF
    EXPECT_FALSE(corrupt(8, 'X')->IsLoaded()); // not WAVE
    EXPECT_FALSE(corrupt(12 + 7, 0xFF)->IsLoaded()); // "fmt " larger than the file
    EXPECT_FALSE(corrupt(12, 'X')->IsLoaded()); // no "fmt " at all
    EXPECT_FALSE(corrupt(12 + 26 + 7, 0x7F)->IsLoaded()); // "data" larger than the file
    EXPECT_FALSE(corrupt(12 + 26, 'X')->IsLoaded()); // no "data" chunk
    EXPECT_FALSE(SOUND(static_cast<const void*>(nullptr), 100).IsLoaded());
}

TEST(SoundLoad, FromRawSamples)
{
    WAVEFORMATEX wfx{WAVE_FORMAT_PCM, 2, 11025, 44100, 4, 16, 0};
    Bytes samples(4000, 0);
    SOUND s(&wfx, samples.data(), static_cast<DWORD>(samples.size()));
    ASSERT_TRUE(s.IsLoaded());
    EXPECT_EQ(s.cbData, 4000u); // 1000 frames become 2000 of two bytes
    EXPECT_FALSE(SOUND(&wfx, nullptr, 100).IsLoaded());
}

TEST(SoundLoad, FromAFile)
{
    Bytes file = WaveFile({}, Bytes(300, 77));
    std::filesystem::path path = TestRoot() / "tone.wav";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), file.size());
    SOUND s(Utf8ToUtf16(path.string()).c_str());
    ASSERT_TRUE(s.IsLoaded());
    EXPECT_EQ(s.cbData, 300u);
    EXPECT_FALSE(SOUND(Utf8ToUtf16((TestRoot() / "missing.wav").string()).c_str()).IsLoaded());
}

} // namespace
