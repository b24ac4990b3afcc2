// The mixer heard through SDL's disk audio driver: what the device plays lands in a file.
#include "cea_sound.h"
#include "cea_sound_mixer.h"
#include "memmgr.h"
#include "memmgr_diag.h"
#include "test_env.h"
#include "wave_files.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <mutex>
#include <thread>

namespace {

using namespace std::chrono_literals;

using Post = std::tuple<HWND, UINT, WPARAM, LPARAM>;

std::mutex g_lock;
std::vector<Post> g_posts;
const HWND kWindow = reinterpret_cast<HWND>(uintptr_t{0x5150});

std::vector<Post> posts()
{
    std::lock_guard guard(g_lock);
    return g_posts;
}

template<typename Pred> bool eventually(Pred pred)
{
    for (auto until = std::chrono::steady_clock::now() + 5s; !pred(); std::this_thread::sleep_for(2ms)) {
        if (std::chrono::steady_clock::now() > until)
            return false;
    }
    return true;
}

// Whether the device played these mono samples, as stereo frames.
bool contains(const Bytes& out, const Bytes& mono)
{
    Bytes stereo;
    for (uint8_t s : mono)
        stereo.insert(stereo.end(), {s, s});
    return std::search(out.begin(), out.end(), stereo.begin(), stereo.end()) != out.end();
}

int loudest(const Bytes& bytes)
{
    int peak = 0;
    for (uint8_t b : bytes)
        peak = std::max(peak, std::abs(b - 128));
    return peak;
}

class Mixer : public testing::Test {
protected:
    void SetUp() override
    {
        record("");
        SetSoundPoster([](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
            std::lock_guard guard(g_lock);
            g_posts.emplace_back(hwnd, msg, wParam, lParam);
            return BOOL(TRUE);
        });
        std::lock_guard guard(g_lock);
        g_posts.clear();
    }

    void TearDown() override
    {
        SOUND::MixerSuspend(true);
        SetSoundPoster(nullptr);
    }

    // Sends what the device plays from its next opening to a file of its own.
    void record(const std::string& name)
    {
        output = TestRoot() / (std::string(testing::UnitTest::GetInstance()->current_test_info()->name()) + name + ".raw");
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
    }

    // Waits until the device has played at least this many stereo bytes.
    void played(size_t cb)
    {
        EXPECT_TRUE(eventually([&] { return std::filesystem::exists(output) && std::filesystem::file_size(output) >= cb; }));
    }

    // Closes the device and returns everything it played, as stereo frames.
    Bytes heard()
    {
        SOUND::MixerSuspend(true);
        std::ifstream in(output, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    std::unique_ptr<SOUND> sound(const Bytes& samples, LPARAM lParam = 42)
    {
        Bytes file = WaveFile({}, samples);
        auto s = std::make_unique<SOUND>(file.data(), static_cast<DWORD>(file.size()));
        s->SetNotify(kWindow, lParam);
        return s;
    }

    std::filesystem::path output;
};

// A sound plays unchanged, even when its loudest sample is a negative one.
TEST_F(Mixer, WhatIsPlayedIsHeard)
{
    Bytes once = Sine8(3000, 100, 37);
    once[0] = 3;
    auto s = sound(once);
    s->Play(false);
    EXPECT_TRUE(s->IsPlaying());
    ASSERT_TRUE(eventually([&] { return !posts().empty(); }));
    EXPECT_FALSE(s->IsPlaying());
    const Bytes out = heard();
    EXPECT_TRUE(contains(out, once) && loudest(out) == 125);
}

// Stopped, on two channels, or destroyed while playing: one notification each.
TEST_F(Mixer, EndingAChannelPostsOneNotificationToItsWindow)
{
    auto s = sound(Sine8(200, 50, 20));
    s->Play(true);
    s->Play(1);
    s->Stop();
    EXPECT_FALSE(s->IsPlaying());
    auto destroyed = sound(Sine8(200, 50, 20), 43);
    destroyed->Play(true);
    const WPARAM gone = reinterpret_cast<WPARAM>(destroyed.get());
    destroyed.reset();
    const WPARAM kept = reinterpret_cast<WPARAM>(s.get());
    EXPECT_EQ(posts(), (std::vector<Post>{{kWindow, 1074u, kept, 42}, {kWindow, 1074u, kept, 42}, {kWindow, 1074u, gone, 43}}));
}

// The mixer frees a sound handed to it when it ends, at once when it cannot play it.
TEST_F(Mixer, ModeTwoHandsTheSoundToTheMixer)
{
    const auto handedOver = [](DWORD rate) {
        Bytes file = WaveFile({}, Sine8(300, 50, 20));
        SOUND* s = MEM_NEW(SOUND, file.data(), static_cast<DWORD>(file.size()));
        s->SetNotify(kWindow, 7);
        s->wfx.nSamplesPerSec = rate;
        s->Play(2);
        return s;
    };
    SOUND* played = handedOver(22050);
    ASSERT_TRUE(eventually([&] { return !posts().empty(); }));
    EXPECT_TRUE(eventually([&] { return !MemQueryBlock(played, nullptr); }));
    EXPECT_FALSE(MemQueryBlock(handedOver(11025), nullptr));
    EXPECT_EQ(posts().size(), 1u);
    SOUND* empty = MEM_NEW(SOUND, static_cast<const void*>(nullptr), 0);
    empty->Play(2);
    SOUND unloaded(static_cast<const void*>(nullptr), 0);
    unloaded.Play(true);
    EXPECT_FALSE(MemQueryBlock(empty, nullptr) || unloaded.IsPlaying());
}

// Without audio a play is refused quietly and a later one tries again; suspending closes the
// device and keeps the channels, resuming goes on; priming opens it with silence.
TEST_F(Mixer, TheDeviceOpensWhenNeededAndSuspendKeepsTheChannels)
{
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    const Bytes samples = Sine8(100, 60, 25);
    auto s = sound(samples);
    s->Play(true);
    EXPECT_FALSE(s->IsPlaying() || MixerDeviceOpen());
    setenv("SDL_AUDIODRIVER", "disk", 1);
    s->Play(true);
    EXPECT_TRUE(s->IsPlaying());
    SOUND::MixerSuspend(true);
    EXPECT_TRUE(!MixerDeviceOpen() && s->IsPlaying());
    SOUND::MixerSuspend(false);
    EXPECT_TRUE(MixerDeviceOpen());
    played(4 * 1024);
    s->Stop();
    EXPECT_TRUE(contains(heard(), samples));

    record("-primed");
    SOUND::Prime();
    EXPECT_TRUE(MixerDeviceOpen());
    played(2 * 1024);
    const Bytes out = heard();
    EXPECT_TRUE(!out.empty() && loudest(out) == 0);
}

} // namespace
