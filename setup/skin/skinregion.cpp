#include "skinregion.h"

#include "cea_graphic.h"
#include "cea_sprite.h"
#include "skingraphics.h"
#include "skinlib.h"

#include <cstring>
#include <vector>

namespace {

Graphic* Layer(Sprite* sprite, int i)
{
    if (!sprite || sprite->FrameCount() == 0)
        return nullptr;
    return sprite->Frame(i < sprite->FrameCount() ? i : 0);
}

} // namespace

HRGN SkinRegionFromGraphic(Graphic* graphic, COLORREF transparent)
{
    const int cx = graphic->GetWidth(), cy = graphic->GetHeight();
    std::vector<RECT> runs;
    for (int y = 0; y < cy; ++y) {
        int x = 0;
        while (x < cx) {
            while (x < cx && (graphic->GetPixelColor(x, y) & 0xFFFFFF) == transparent)
                ++x;
            const int start = x;
            while (x < cx && (graphic->GetPixelColor(x, y) & 0xFFFFFF) != transparent)
                ++x;
            if (x > start)
                runs.push_back(RECT{start, y, x, y + 1});
        }
    }
    // The region's data is its header and then its rectangles, sized as one byte count.
    const DWORD size = DWORD(sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT));
    std::vector<BYTE> bytes(size);
    auto* data = reinterpret_cast<RGNDATA*>(bytes.data());
    data->rdh
        = RGNDATAHEADER{sizeof(RGNDATAHEADER), RDH_RECTANGLES, DWORD(runs.size()), DWORD(runs.size() * sizeof(RECT)), RECT{0, 0, cx, cy}};
    if (!runs.empty())
        std::memcpy(bytes.data() + sizeof(RGNDATAHEADER), runs.data(), runs.size() * sizeof(RECT));
    return ExtCreateRegion(nullptr, size, data);
}

void SkinPaintFrame(SKIN* skin, Graphic* target)
{
    const int cx = target->GetWidth(), cy = target->GetHeight();
    const RECT all{0, 0, cx, cy};
    Sprite* tb = skin->Image("frame-tb");
    Sprite* lr = skin->Image("frame-lr");
    Sprite* corners = skin->Image("frame-c");
    if (Graphic* top = Layer(tb, 0))
        SkinTile(top, target, RECT{0, 0, cx, top->GetHeight()}, all);
    if (Graphic* bottom = Layer(tb, 1))
        SkinTile(bottom, target, RECT{0, cy - bottom->GetHeight(), cx, cy}, all);
    if (Graphic* left = Layer(lr, 0))
        SkinTile(left, target, RECT{0, 0, left->GetWidth(), cy}, all);
    if (Graphic* right = Layer(lr, 1))
        SkinTile(right, target, RECT{cx - right->GetWidth(), 0, cx, cy}, all);
    if (Graphic* c = Layer(corners, 0))
        SkinDraw(c, target, 0, 0, all);
    if (Graphic* c = Layer(corners, 1))
        SkinDraw(c, target, cx - c->GetWidth(), 0, all);
    if (Graphic* c = Layer(corners, 2))
        SkinDraw(c, target, 0, cy - c->GetHeight(), all);
    if (Graphic* c = Layer(corners, 3))
        SkinDraw(c, target, cx - c->GetWidth(), cy - c->GetHeight(), all);
}
