// Drawing beside the per-pixel comparisons: views, run rebuilding, blits between depths and
// stretching.
#include "engine_test_util.h"

#include <gtest/gtest.h>
#include <tuple>

namespace {

constexpr DWORD kKey = 0x0000FF; // blue, as 0x00RRGGBB

DWORD Pattern(int x, int y)
{
    return DWORD(x * 16 + 5) << 16 | DWORD(y * 16 + 9) << 8 | DWORD(200 + x + y);
}

// Views as source and destination; a new key rebuilding the opaque runs; a stretch and a
// keyed source of another depth going through the platform.
TEST(Drawing, ViewsKeysAndOtherDepthsDrawWhereTheyShould)
{
    Graphic sheet(10, 10, 24), dst(10, 10, 24);
    Fill(sheet, Pattern);
    const RECT cellRect = {4, 4, 7, 6}, viewRect = {2, 3, 6, 5};
    Graphic cell(&sheet, &cellRect), view(&dst, &viewRect);
    sheet.DrawTo(&view, 1, 0);
    cell.DrawTo(&dst, 0, 0);

    Graphic keyed(6, 3, 24), keyedDst(6, 3, 24);
    Fill(keyed, [](int x, int y) { return y == 1 || x == 2 ? kKey : DWORD(0x00FF00); });
    for (COLORREF key : {RGB(0, 0, 255), RGB(0, 255, 0)}) {
        keyed.SetTransparency(key);
        keyedDst.SetPixelValue(0, 0, 0);
        keyed.DrawTo(&keyedDst, 0, 0);
    }

    Graphic stretched(4, 2, 24);
    sheet.StretchTo(&stretched, 0, 0, 4, 2, 0, 0, 2, 1);
    // The view's rectangle only, the cell's rectangle only; blue drawn now, green not.
    EXPECT_EQ(At(dst, {{3, 3}, {5, 4}, {6, 4}, {3, 5}, {0, 0}, {2, 1}, {3, 1}, {0, 2}}),
              (std::vector<DWORD>{Pattern(0, 0), Pattern(2, 1), 0, 0, Pattern(4, 4), Pattern(6, 5), 0, 0}));
    EXPECT_EQ(std::tuple(At(keyedDst, {{0, 1}, {2, 0}, {0, 0}}), At(stretched, {{1, 1}, {2, 0}})),
              std::tuple(std::vector<DWORD>{kKey, kKey, 0}, std::vector<DWORD>{Pattern(0, 0), Pattern(1, 0)}));

    RGBQUAD palette[256] = {};
    palette[1] = {0, 0, 255, 0}; // red
    palette[2] = {255, 0, 0, 0}; // blue, the key
    Graphic indexed(4, 1, 8, palette), deeper(4, 1, 24);
    Fill(indexed, [](int x, int) { return x < 2 ? x + 1 : 0; });
    indexed.SetTransparency(RGB(0, 0, 255));
    Fill(deeper, [](int, int) { return 0x123456; });
    indexed.DrawTo(&deeper, 0, 0);
    EXPECT_EQ(Pixels(deeper), (std::vector<uint32_t>{0xFF0000, 0x123456, 0, 0}));
}

// A graphic drawn onto itself, plain or through its runs, moves its pixels as if through a
// copy, whichever way they go.
TEST(Drawing, OntoItselfAsIfThroughACopy)
{
    for (const bool keyed : {false, true})
        for (const int dy : {-3, 0, 2}) {
            Graphic g(10, 10, 24);
            Fill(g, Pattern);
            if (keyed)
                g.SetTransparency(RGB(1, 2, 3)); // no pixel has it: every row is one run
            g.DrawTo(&g, 2, 3 + dy, 1, 3, 6, 5);
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 6; ++x)
                    EXPECT_EQ(g.GetPixelValue(2 + x, 3 + dy + y), Pattern(1 + x, 3 + y)) << keyed << " " << dy << " " << x << "," << y;
        }
}

} // namespace
