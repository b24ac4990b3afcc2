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
        EXPECT_EQ(CombineRgn(d, a, b, c.mode), c.type);
        RECT box;
        EXPECT_EQ(GetRgnBox(d, &box), c.type);
        EXPECT_EQ(std::vector<LONG>({box.left, box.top, box.right, box.bottom}),
                  std::vector<LONG>({c.box.left, c.box.top, c.box.right, c.box.bottom}));
        for (POINT p : c.inside)
            EXPECT_TRUE(PtInRegion(d, p.x, p.y)) << p.x << "," << p.y;
        for (POINT p : c.outside)
            EXPECT_FALSE(PtInRegion(d, p.x, p.y)) << p.x << "," << p.y;
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
    data.rdh.nCount = 0x40000000;
    EXPECT_EQ(ExtCreateRegion(nullptr, sizeof data, rgn), nullptr);
    data.rdh.nCount = 2;
    data.rdh.dwSize = 3;
    EXPECT_EQ(ExtCreateRegion(nullptr, sizeof data, rgn), nullptr);
    data.rdh.dwSize = sizeof(RGNDATAHEADER);
    HRGN r = ExtCreateRegion(nullptr, sizeof data, rgn);
    EXPECT_TRUE(PtInRegion(r, 5, 5));
    EXPECT_FALSE(PtInRegion(r, 5, 0));
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
    EXPECT_TRUE(SetWindowRgn(hwnd, outline, FALSE));
    EXPECT_EQ(GetWindowRgn(hwnd, copy), COMPLEXREGION);
    EXPECT_FALSE(PtInRegion(copy, 1, 1));
    EXPECT_TRUE(PtInRegion(copy, 39, 1));
    EXPECT_TRUE(SetWindowRgn(hwnd, nullptr, FALSE));
    EXPECT_EQ(GetWindowRgn(hwnd, copy), ERROR);
    DeleteObject(copy);
    DestroyWindow(hwnd);
}

} // namespace
