#include "pcm_format.h"
#include "test_env.h"

#include "windows.h"

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <mutex>
#include <string>
#include <vector>

namespace {

// What the device told the callback, in order.
struct Heard {
    std::mutex lock;
    std::condition_variable changed;
    std::vector<UINT> messages;
    std::vector<WAVEHDR*> done;

    static void CALLBACK callback(HWAVEOUT, UINT msg, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR)
    {
        auto* heard = reinterpret_cast<Heard*>(instance);
        std::lock_guard guard(heard->lock);
        heard->messages.push_back(msg);
        if (msg == WOM_DONE)
            heard->done.push_back(reinterpret_cast<WAVEHDR*>(param1));
        heard->changed.notify_all();
    }

    bool waitForDone(size_t count)
    {
        std::unique_lock guard(lock);
        return changed.wait_for(guard, std::chrono::seconds(5), [&] { return done.size() >= count; });
    }
};

class WaveOut : public testing::Test {
protected:
    void SetUp() override
    {
        output = TestRoot() / (std::string(testing::UnitTest::GetInstance()->current_test_info()->name()) + ".raw");
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
    }

    // Prepares and writes a buffer.
    MMRESULT queue(WAVEHDR& header)
    {
        const MMRESULT prepared = waveOutPrepareHeader(device, &header, sizeof(WAVEHDR));
        return prepared != MMSYSERR_NOERROR ? prepared : waveOutWrite(device, &header, sizeof(WAVEHDR));
    }

    MMRESULT open(const WAVEFORMATEX& format)
    {
        return waveOutOpen(&device, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(&Heard::callback),
                           reinterpret_cast<DWORD_PTR>(&heard), CALLBACK_FUNCTION);
    }

    // What a listener would have heard: everything the device played, once it is closed.
    std::vector<BYTE> played() const
    {
        std::ifstream in(output, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    std::filesystem::path output;
    HWAVEOUT device = nullptr;
    Heard heard;
};

struct Buffer {
    explicit Buffer(size_t cb, BYTE fill) : bytes(cb, fill)
    {
        header.lpData = reinterpret_cast<LPSTR>(bytes.data());
        header.dwBufferLength = static_cast<DWORD>(cb);
    }
    std::vector<BYTE> bytes;
    WAVEHDR header{};
};

TEST_F(WaveOut, PlaysWrittenBuffersInOrderAndHandsEachBackOncePlayed)
{
    ASSERT_EQ(open(pcm(1, 22050, 8)), MMSYSERR_NOERROR);
    std::vector<Buffer> buffers;
    for (BYTE fill : {10, 20, 30})
        buffers.emplace_back(2048, fill);
    const auto began = std::chrono::steady_clock::now();
    for (auto& b : buffers)
        ASSERT_EQ(queue(b.header), MMSYSERR_NOERROR);
    ASSERT_TRUE(heard.waitForDone(3));
    // 6144 frames: the disk device plays them in real time, about 279 ms.
    EXPECT_GE(std::chrono::steady_clock::now() - began, std::chrono::milliseconds(250));
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(std::make_pair(heard.done[i], buffers[i].header.dwFlags),
                  std::make_pair(&buffers[i].header, DWORD(WHDR_DONE | WHDR_PREPARED)));
        EXPECT_EQ(waveOutUnprepareHeader(device, &buffers[i].header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    }
    ASSERT_EQ(waveOutClose(device), MMSYSERR_NOERROR);
    EXPECT_EQ(heard.messages, (std::vector<UINT>{WOM_OPEN, WOM_DONE, WOM_DONE, WOM_DONE, WOM_CLOSE}));

    // Silence until the first buffer, then the three back to back, then silence again.
    std::vector<BYTE> out = played();
    const auto start = std::find_if(out.begin(), out.end(), [](BYTE b) { return b != 128; });
    std::vector<BYTE> expected(start - out.begin(), 128);
    for (auto& b : buffers)
        expected.insert(expected.end(), b.bytes.begin(), b.bytes.end());
    expected.resize(std::max(out.size(), expected.size()), 128);
    EXPECT_TRUE(out == expected);
}

TEST_F(WaveOut, ResetHandsBackEverythingAtOnceMisuseIsRefusedAndWithoutAudioNothingOpensButLaterTriesAgain)
{
    ASSERT_EQ(open(pcm(2, 22050, 16)), MMSYSERR_NOERROR);
    Buffer longOne(22050 * 4 * 10, 1); // ten seconds
    Buffer next(1024, 2);
    queue(longOne.header);
    queue(next.header);
    EXPECT_EQ(std::vector<MMRESULT>({waveOutUnprepareHeader(device, &next.header, sizeof(WAVEHDR)), waveOutClose(device),
                                     waveOutReset(device), MMRESULT(heard.done.size()), next.header.dwFlags & (WHDR_DONE | WHDR_INQUEUE)}),
              std::vector<MMRESULT>({WAVERR_STILLPLAYING, WAVERR_STILLPLAYING, MMSYSERR_NOERROR, 2, WHDR_DONE}));

    // The device goes on playing what is written after a reset.
    ASSERT_EQ(waveOutWrite(device, &next.header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    EXPECT_TRUE(heard.waitForDone(3));
    EXPECT_EQ(waveOutClose(device), MMSYSERR_NOERROR);
    WAVEFORMATEX format = pcm(1, 22050, 8), adpcm = format;
    adpcm.wFormatTag = 2;
    const auto withoutAudio = [&] {
        setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
        const MMRESULT result = open(format);
        setenv("SDL_AUDIODRIVER", "disk", 1);
        return result;
    };
    Buffer b(64, 0);
    EXPECT_EQ(std::vector<MMRESULT>(
                  {open(adpcm), waveOutOpen(&device, 7, &format, 0, 0, CALLBACK_NULL),
                   waveOutOpen(&device, WAVE_MAPPER, &format, 0, 0, 0x00050000),
                   waveOutOpen(nullptr, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL), withoutAudio(), open(format),
                   waveOutWrite(device, &b.header, sizeof(WAVEHDR)), waveOutPrepareHeader(device, &b.header, sizeof(WAVEHDR) - 1),
                   waveOutWrite(reinterpret_cast<HWAVEOUT>(&b), &b.header, sizeof(WAVEHDR)), waveOutClose(device), waveOutClose(device)}),
              std::vector<MMRESULT>({WAVERR_BADFORMAT, MMSYSERR_BADDEVICEID, MMSYSERR_INVALFLAG, MMSYSERR_INVALPARAM, MMSYSERR_NODRIVER,
                                     MMSYSERR_NOERROR, WAVERR_UNPREPARED, MMSYSERR_INVALPARAM, MMSYSERR_INVALHANDLE, MMSYSERR_NOERROR,
                                     MMSYSERR_INVALHANDLE}));
}

} // namespace
