// What one frame of the play screen costs: while the opening deal flies in, and on an idle board
// with the sparkles on. Headless: SDL's dummy video driver, the packs beside the program.
//
// Instructions per frame: valgrind --tool=callgrind --collect-atstart=no
//     --toggle-collect='*AnimWindow::AdvanceTo*' bin/bench_play --benchmark_filter=... and divide
// the instruction count by the frames the benchmark reports.
#include "cea_main.h"
#include "cea_window.h"
#include "display.h"
#include "game.h"
#include "layout.h"
#include "media.h"
#include "records.h"
#include "screens.h"
#include "sequencer.h"

#include <benchmark/benchmark.h>
#include <cstdlib>

namespace {

LRESULT appCallback(AnimWindow*, UINT code, WPARAM a, LPARAM b)
{
    if (code == kAnimBeforeUpdate)
        DisplayTick();
    else if (code == kAnimEvent)
        SequencerEvent(static_cast<DWORD>(a), reinterpret_cast<ANIMOBJECT*>(b));
    return 1;
}

class PlayScreen {
public:
    PlayScreen()
    {
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        if (!InitAnimEngine(nullptr, 0) || !ChoosePack() || !LoadImages())
            std::abort();
        DefaultSettings();
        m_hwnd = CreateWindowExW(0, u"AnimWindow", u"bench", WS_POPUP | WS_VISIBLE, 0, 0, LayoutNumber("cxWINDOW"),
                                 LayoutNumber("cyWINDOW"), nullptr, nullptr, nullptr, nullptr);
        m_anim = AnimWindow::FromWindow(m_hwnd);
        m_anim->SetCallback(appCallback);
        SetDisplayWindow(m_anim, nullptr);
        SetDisplayPaletteGroup(g_media.pGroup);
        std::srand(1);
        ShowScreen(SCREEN_PLAY, true);
    }
    ~PlayScreen()
    {
        SetDisplayWindow(nullptr, nullptr);
        DestroyWindow(m_hwnd);
    }

    // One frame as the frame loop makes it: the schedule's moves and events, then a paint.
    void frame() { m_anim->AdvanceTo(m_anim->GetCurrentFrame()); }
    bool dealing() const { return m_anim->GetCurrentFrame() != m_anim->GetEndFrame(); }

private:
    HWND m_hwnd = nullptr;
    AnimWindow* m_anim = nullptr;
};

PlayScreen& screen()
{
    static PlayScreen* instance = new PlayScreen;
    return *instance;
}

void BM_FrameDuringDeal(benchmark::State& state)
{
    PlayScreen& s = screen();
    g_settings.iEffects = EFFECTS_SOME;
    for (auto _ : state) {
        if (!s.dealing()) {
            state.PauseTiming();
            NewGame();
            state.ResumeTiming();
        }
        s.frame();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FrameDuringDeal)->Unit(benchmark::kMicrosecond);

void BM_FrameIdleWithSparkles(benchmark::State& state)
{
    PlayScreen& s = screen();
    g_settings.iEffects = EFFECTS_ALL;
    while (s.dealing())
        s.frame();
    for (auto _ : state)
        s.frame();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FrameIdleWithSparkles)->Unit(benchmark::kMicrosecond);

} // namespace
