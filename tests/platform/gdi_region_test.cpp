#include "windows.h"

#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace {

// The area of a region's parts, which must not overlap: it equals the points inside it.
void ExpectDisjointParts(HRGN rgn)
{
    std::vector<BYTE> bytes(GetRegionData(rgn, 0, nullptr));
    auto* data = reinterpret_cast<RGNDATA*>(bytes.data());
    ASSERT_EQ(GetRegionData(rgn, DWORD(bytes.size()), data), bytes.size());
    long area = 0, counted = 0;
    for (DWORD i = 0; i < data->rdh.nCount; ++i) {
        RECT r;
        std::memcpy(&r, bytes.data() + sizeof(RGNDATAHEADER) + i * sizeof(RECT), sizeof r);
        area += long(r.right - r.left) * (r.bottom - r.top);
    }
    for (int y = -1; y < 32; ++y)
        for (int x = -1; x < 32; ++x)
            counted += PtInRegion(rgn, x, y) ? 1 : 0;
    EXPECT_EQ(area, counted);
}

TEST(GdiRegion, CombineGivesTheRightPoints)
{
    const struct {
        int mode;
        RECT a, b;
        int type;
        RECT box;
        std::vector<POINT> inside, outside;
    } cases[] = {
        {RGN_OR, {0, 0, 10, 10}, {5, 5, 20, 20}, COMPLEXREGION, {0, 0, 20, 20}, {{0, 0}, {19, 19}, {12, 6}}, {{15, 2}, {2, 15}, {20, 20}}},
        {RGN_AND, {0, 0, 10, 10}, {5, 5, 20, 20}, SIMPLEREGION, {5, 5, 10, 10}, {{5, 5}, {9, 9}}, {{4, 4}, {10, 10}}},
        {RGN_DIFF, {0, 0, 30, 30}, {10, 10, 20, 20}, COMPLEXREGION, {0, 0, 30, 30}, {{29, 29}, {9, 15}, {20, 15}}, {{10, 10}, {19, 19}}},
        {RGN_DIFF, {0, 0, 5, 5}, {0, 0, 5, 5}, NULLREGION, {0, 0, 0, 0}, {}, {{0, 0}}},
        {RGN_AND, {0, 0, 5, 5}, {6, 6, 9, 9}, NULLREGION, {0, 0, 0, 0}, {}, {{0, 0}, {6, 6}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        HRGN a = CreateRectRgnIndirect(&c.a), b = CreateRectRgnIndirect(&c.b), d = CreateRectRgn(0, 0, 0, 0);
        RECT box;
        EXPECT_EQ(std::vector<int>({CombineRgn(d, a, b, c.mode), GetRgnBox(d, &box), box.left, box.top, box.right, box.bottom}),
                  std::vector<int>({c.type, c.type, c.box.left, c.box.top, c.box.right, c.box.bottom}));
        for (const auto& [points, inside] : {std::pair{&c.inside, true}, std::pair{&c.outside, false}})
            for (POINT p : *points)
                EXPECT_EQ(PtInRegion(d, p.x, p.y) != 0, inside) << p.x << "," << p.y;
        ExpectDisjointParts(d);
        for (HRGN r : {a, b, d})
            DeleteObject(r);
    }
}

TEST(GdiRegion, ExtCreateRegionRefusesShortOrOverstatedData)
{
    struct {
        RGNDATAHEADER rdh;
        RECT rects[2];
    } data{{sizeof(RGNDATAHEADER), RDH_RECTANGLES, 2, 0, {}}, {{0, 0, 4, 4}, {2, 2, 6, 6}}};
    const auto* rgn = reinterpret_cast<const RGNDATA*>(&data);
    EXPECT_EQ(ExtCreateRegion(nullptr, sizeof(RGNDATAHEADER) + sizeof(RECT), rgn), nullptr);
    for (const auto& [count, size] : {std::pair<DWORD, DWORD>{0x40000000, sizeof(RGNDATAHEADER)}, {2, 3}}) {
        data.rdh.nCount = count;
        data.rdh.dwSize = size;
        EXPECT_EQ(ExtCreateRegion(nullptr, sizeof data, rgn), nullptr) << count;
    }
    data.rdh = {sizeof(RGNDATAHEADER), RDH_RECTANGLES, 2, 0, {}};
    HRGN r = ExtCreateRegion(nullptr, sizeof data, rgn);
    EXPECT_EQ(std::make_pair(PtInRegion(r, 5, 5), PtInRegion(r, 5, 0)), std::make_pair(TRUE, FALSE));
    ExpectDisjointParts(r); // overlapping input still yields disjoint parts
    DeleteObject(r);
}

TEST(GdiRegion, WindowKeepsItsOutline)
{
    HWND hwnd = CreateWindowExW(0, u"static", u"", WS_POPUP, 0, 0, 40, 40, nullptr, nullptr, nullptr, nullptr);
    HRGN copy = CreateRectRgn(0, 0, 0, 0), outline = CreateRectRgn(0, 0, 40, 40), hole = CreateRectRgn(0, 0, 8, 8);
    EXPECT_EQ(GetWindowRgn(hwnd, copy), ERROR);
    CombineRgn(outline, outline, hole, RGN_DIFF);
    DeleteObject(hole);
    EXPECT_EQ(std::vector<int>({SetWindowRgn(hwnd, outline, FALSE), GetWindowRgn(hwnd, copy), PtInRegion(copy, 1, 1),
                                PtInRegion(copy, 39, 1), SetWindowRgn(hwnd, nullptr, FALSE), GetWindowRgn(hwnd, copy)}),
              std::vector<int>({TRUE, COMPLEXREGION, FALSE, TRUE, TRUE, ERROR}));
    DeleteObject(copy);
    DestroyWindow(hwnd);
}

} // namespace
