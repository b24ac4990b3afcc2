#include "windows.h"

#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace {

// The region holds the points of a and b over a grid around them, in parts that do not overlap:
// their area equals the points counted.
void ExpectUnion(HRGN rgn, const RECT& a, const RECT& b)
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
        for (int x = -1; x < 32; ++x) {
            const bool in = PtInRegion(rgn, x, y);
            counted += in;
            EXPECT_EQ(in, PtInRect(&a, {x, y}) || PtInRect(&b, {x, y})) << x << "," << y;
        }
    EXPECT_EQ(area, counted);
}

TEST(GdiRegion, ExtCreateRegionRefusesShortOrOverstatedDataAndAWindowKeepsItsOutline)
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
    ExpectUnion(r, data.rects[0], data.rects[1]); // overlapping input still yields disjoint parts
    DeleteObject(r);
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
