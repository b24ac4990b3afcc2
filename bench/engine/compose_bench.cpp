// Composing frames of a game-sized window: 15 tile-sized objects in flight and 12 sparkle-sized
// keyed sprites over a painted background, repainting only what moved against recomposing the
// whole window every frame.
#include "cea_graphic.h"
#include "cea_main.h"
#include "cea_object.h"
#include "cea_window.h"
#include "memmgr.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kWidth = 760;
constexpr int kHeight = 520;
constexpr int kTiles = 15;
constexpr int kSparkles = 12;

Graphic* Filled(int cx, int cy, COLORREF color)
{
    Graphic* g = MEM_NEW(Graphic, cx, cy, 0, static_cast<const RGBQUAD*>(nullptr));
    for (int y = 0; y < cy; ++y)
        for (int x = 0; x < cx; ++x)
            g->SetPixelColor(x, y, color);
    return g;
}

// A round sparkle on a keyed square.
Graphic* Sparkle(int size)
{
    constexpr COLORREF kKey = RGB(255, 0, 255);
    Graphic* g = Filled(size, size, kKey);
    const int r = size / 2;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            if ((x - r) * (x - r) + (y - r) * (y - r) < r * r)
                g->SetPixelColor(x, y, RGB(255, 255, 160));
    g->SetTransparency(kKey);
    return g;
}

class Scene {
public:
    Scene()
    {
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        InitAnimEngine(nullptr, 0);
        hwnd = CreateWindowExW(0, u"AnimWindow", u"bench", WS_POPUP, 0, 0, kWidth, kHeight, nullptr, nullptr, nullptr, nullptr);
        anim = AnimWindow::FromWindow(hwnd);
        anim->Fill(RGB(0, 60, 30));
        tile = Filled(66, 94, RGB(240, 240, 230));
        sparkle = Sparkle(24);
        std::srand(1);
        for (int i = 0; i < kTiles; ++i)
            Add(ANIMOBJECT::Create(anim, tile, 100));
        for (int i = 0; i < kSparkles; ++i)
            Add(ANIMOBJECT::Create(anim, sparkle, 500));
        anim->PaintNow();
    }
    ~Scene()
    {
        DestroyWindow(hwnd);
        MEM_DELETE(tile);
        MEM_DELETE(sparkle);
    }

    // One frame of flight: every object takes a step along its own straight path.
    void Move()
    {
        for (size_t i = 0; i < objects.size(); ++i) {
            ANIMOBJECT* o = objects[i];
            int x = o->rect.left + steps[i].x;
            int y = o->rect.top + steps[i].y;
            if (x < -o->GetWidth() || x > kWidth)
                x = kWidth / 2;
            if (y < -o->GetHeight() || y > kHeight)
                y = kHeight / 2;
            o->SetPosition(x, y);
        }
    }

    HWND hwnd;
    AnimWindow* anim;

private:
    void Add(ANIMOBJECT* o)
    {
        o->SetPosition(std::rand() % kWidth, std::rand() % kHeight);
        objects.push_back(o);
        steps.push_back({std::rand() % 17 - 8, std::rand() % 17 - 8});
    }

    Graphic* tile;
    Graphic* sparkle;
    std::vector<ANIMOBJECT*> objects;
    std::vector<POINT> steps;
};

void BM_ComposeDirtyRegions(benchmark::State& state)
{
    Scene scene;
    for (auto _ : state) {
        scene.Move();
        scene.anim->PaintNow();
    }
}
BENCHMARK(BM_ComposeDirtyRegions);

void BM_ComposeWholeWindow(benchmark::State& state)
{
    Scene scene;
    for (auto _ : state) {
        scene.Move();
        scene.anim->Invalidate(nullptr, true);
        scene.anim->PaintNow();
    }
}
BENCHMARK(BM_ComposeWholeWindow);

} // namespace
