#include "gdi_support.h"

#include "windows.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <set>
#include <string>

namespace {

const char16_t kEsperanto[] = u"ĉĝĥĵŝŭĈĜĤĴŜŬ";

HFONT MakeFont(const char16_t* face, LONG height, LONG weight = FW_NORMAL, BYTE quality = ANTIALIASED_QUALITY)
{
    LOGFONTW lf{};
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = quality;
    std::u16string_view name(face);
    std::copy(name.begin(), name.end(), lf.lfFaceName);
    return CreateFontIndirectW(&lf);
}

// A white 24-bit page with black text in the given font.
struct Page {
    TestDib dib;
    HFONT font;
    HGDIOBJ old;
    Page(int w, int h, HFONT f, int bits = 24, std::vector<RGBQUAD> table = {}) : dib(w, h, bits, table), font(f)
    {
        old = SelectObject(dib.Dc(), font);
        RECT all{0, 0, w, h};
        FillRect(dib.Dc(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        SetBkMode(dib.Dc(), TRANSPARENT);
        SetTextColor(dib.Dc(), RGB(0, 0, 0));
    }
    ~Page()
    {
        SelectObject(dib.Dc(), old);
        DeleteObject(font);
    }
    SIZE Extent(std::u16string_view text) const
    {
        SIZE size{};
        GetTextExtentPoint32W(dib.Dc(), text.data(), int(text.size()), &size);
        return size;
    }
};

std::vector<uint32_t> Draw(HFONT font, std::u16string_view text, int width = 60, int height = 30)
{
    Page page(width, height, font);
    ExtTextOutW(page.dib.Dc(), 2, 2, 0, nullptr, text.data(), UINT(text.size()), nullptr);
    page.font = nullptr; // the caller owns the font
    return page.dib.Rgb();
}

RECT Ink(const TestDib& dib)
{
    RECT r{dib.Width(), dib.Height(), -1, -1};
    const std::vector<uint32_t> rgb = dib.Rgb();
    for (int y = 0; y < dib.Height(); ++y)
        for (int x = 0; x < dib.Width(); ++x)
            if (rgb[size_t(y) * dib.Width() + x] != 0xFFFFFF)
                r = {std::min<LONG>(r.left, x), std::min<LONG>(r.top, y), std::max<LONG>(r.right, x + 1), std::max<LONG>(r.bottom, y + 1)};
    return r;
}

} // namespace

TEST(Fonts, HeightSignWeightAndHandles)
{
    TestDib dib(1, 1, 24);
    HFONT character = MakeFont(u"Arial", -14), cell = MakeFont(u"MS Shell Dlg", 20), bold = MakeFont(u"Arial", -14, FW_BOLD),
          twin = MakeFont(u"Arial", -14);
    ASSERT_NE(character, twin);
    EXPECT_TRUE(DeleteObject(twin)); // equal fonts are separate handles
    TEXTMETRICW tm{};
    SIZE regular{}, wide{};
    SelectObject(dib.Dc(), character);
    ASSERT_TRUE(GetTextMetricsW(dib.Dc(), &tm));
    GetTextExtentPoint32W(dib.Dc(), u"Quibo game over", 15, &regular);
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
    EXPECT_EQ(tm.tmInternalLeading, tm.tmHeight - 14);
    EXPECT_GT(tm.tmHeight, 14);
    EXPECT_GE(tm.tmMaxCharWidth, tm.tmAveCharWidth);
    EXPECT_GT(tm.tmAveCharWidth, 3);
    SelectObject(dib.Dc(), bold);
    GetTextExtentPoint32W(dib.Dc(), u"Quibo game over", 15, &wide);
    GetTextMetricsW(dib.Dc(), &tm);
    EXPECT_EQ(tm.tmWeight, FW_BOLD);
    EXPECT_GT(wide.cx, regular.cx);
    EXPECT_EQ(wide.cy, regular.cy);
    SelectObject(dib.Dc(), cell);
    ASSERT_TRUE(GetTextMetricsW(dib.Dc(), &tm));
    EXPECT_NEAR(tm.tmHeight, 20, 1);
    LOGFONTW lf{};
    EXPECT_EQ(GetObject(cell, sizeof lf, &lf), int(sizeof lf));
    EXPECT_EQ(lf.lfHeight, 20);
    SelectObject(dib.Dc(), GetStockObject(SYSTEM_FONT));
    for (HFONT f : {character, cell, bold})
        DeleteObject(f);
    EXPECT_FALSE(GetTextExtentPoint32W(reinterpret_cast<HDC>(uintptr_t{8}), u"x", 1, &wide));
}

TEST(Fonts, EveryFaceNameDrawsTheEsperantoLetters)
{
    const std::u16string plain = u"cghjsuCGHJSU";
    for (const char16_t* face : {u"MS Shell Dlg", u"MS Shell Dlg Eo", u"Arial", u"Arial Eo", u"No Such Face", u""}) {
        HFONT font = MakeFont(face, -16);
        // What a missing letter looks like: the face's box for a code point no face has.
        const std::vector<uint32_t> box = Draw(font, u"\U0010FFFD");
        for (size_t i = 0; i < plain.size(); ++i) {
            const std::vector<uint32_t> accented = Draw(font, std::u16string_view(kEsperanto + i, 1));
            EXPECT_NE(accented, box) << "face " << i;
            EXPECT_NE(accented, Draw(font, std::u16string_view(plain).substr(i, 1))) << i;
        }
        DeleteObject(font);
    }
}

TEST(TextOut, EsperantoTextMeasuresAndInks)
{
    Page page(200, 30, MakeFont(u"MS Shell Dlg Eo", -14));
    const std::u16string text = u"Ĉiuĵaŭde ŝi manĝas ĥoran";
    const SIZE size = page.Extent(text);
    EXPECT_GT(size.cx, 100);
    ExtTextOutW(page.dib.Dc(), 0, 0, 0, nullptr, text.data(), UINT(text.size()), nullptr);
    const RECT ink = Ink(page.dib);
    EXPECT_GE(ink.left, 0);
    EXPECT_LE(ink.right, size.cx + 1);
    EXPECT_LE(ink.bottom, size.cy);
}

TEST(TextOut, OpaqueBackgroundFillsTheCellAndClippingHolds)
{
    Page page(100, 40, MakeFont(u"Arial", -14));
    SetBkMode(page.dib.Dc(), OPAQUE);
    SetBkColor(page.dib.Dc(), RGB(255, 0, 0));
    const SIZE size = page.Extent(u"Hi");
    ExtTextOutW(page.dib.Dc(), 10, 5, 0, nullptr, u"Hi", 2, nullptr);
    EXPECT_EQ(page.dib.Raw(10, 5), 0xFF0000u);
    EXPECT_EQ(page.dib.Raw(10 + size.cx - 1, 5 + size.cy - 1), 0xFF0000u);
    EXPECT_EQ(page.dib.Raw(10 + size.cx, 5), 0xFFFFFFu);
    EXPECT_EQ(page.dib.Raw(9, 5), 0xFFFFFFu);
    // ETO_CLIPPED keeps everything inside the rectangle; ETO_OPAQUE fills it.
    SetBkMode(page.dib.Dc(), TRANSPARENT);
    const RECT clip{0, 25, 4, 40};
    ExtTextOutW(page.dib.Dc(), 0, 25, ETO_CLIPPED | ETO_OPAQUE, &clip, u"WWW", 3, nullptr);
    for (int y = 25; y < 40; ++y)
        for (int x = 4; x < 100; ++x)
            ASSERT_EQ(page.dib.Raw(x, y), 0xFFFFFFu) << x << "," << y;
    EXPECT_EQ(page.dib.Raw(0, 39), 0xFF0000u);
}

TEST(TextOut, AntialiasingOnDirectTargetsOnly)
{
    // On an 8-bit target every pixel is the background or the table's nearest text colour.
    const struct {
        int bits;
        BYTE quality;
        std::set<uint32_t> exactly; // empty: more than four shades
    } cases[] = {{24, ANTIALIASED_QUALITY, {}},
                 {16, ANTIALIASED_QUALITY, {}},
                 {24, NONANTIALIASED_QUALITY, {0xFF0000, 0xFFFFFF}},
                 {8, ANTIALIASED_QUALITY, {1, 2}}};
    for (const auto& c : cases) {
        Page page(150, 24, MakeFont(u"Arial", -16, FW_NORMAL, c.quality), c.bits, c.bits == 8 ? TestTable(256) : std::vector<RGBQUAD>{});
        SetTextColor(page.dib.Dc(), RGB(c.bits == 8 ? 250 : 255, 0, 0)); // nearest: red, index 2
        ExtTextOutW(page.dib.Dc(), 0, 0, 0, nullptr, u"Ŝi ĝuas la ludon", 16, nullptr);
        std::set<uint32_t> seen;
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 150; ++x)
                seen.insert(page.dib.Raw(x, y));
        if (c.exactly.empty())
            EXPECT_GT(seen.size(), 4u) << c.bits;
        else
            EXPECT_EQ(seen, c.exactly) << c.bits;
    }
}

TEST(DrawText, AlignmentAndVerticalCentringMatchTheExtents)
{
    const std::u16string text = u"Poentoj";
    const RECT box{10, 10, 190, 50};
    const UINT aligns[] = {DT_LEFT, DT_CENTER, DT_RIGHT};
    for (UINT align : aligns) {
        Page drawn(200, 60, MakeFont(u"MS Shell Dlg", -14)), expected(200, 60, MakeFont(u"MS Shell Dlg", -14));
        RECT r = box;
        const int returned = DrawTextW(drawn.dib.Dc(), text.c_str(), -1, &r, align | DT_SINGLELINE | DT_VCENTER);
        const SIZE size = expected.Extent(text);
        const int x = align == DT_LEFT ? 10 : align == DT_CENTER ? (10 + 190 - size.cx) / 2 : 190 - size.cx;
        const int y = (10 + 50 - size.cy) / 2;
        ExtTextOutW(expected.dib.Dc(), x, y, 0, nullptr, text.c_str(), UINT(text.size()), nullptr);
        EXPECT_EQ(drawn.dib.Rgb(), expected.dib.Rgb()) << align;
        EXPECT_EQ(returned, y + size.cy - 10);
    }
}

TEST(DrawText, CalcRectMeasuresWithoutDrawing)
{
    Page page(10, 10, MakeFont(u"Arial", -12));
    const struct {
        const char16_t* text;
        UINT format;
        const char16_t* measured;
    } cases[] = {{u"&Ludo", DT_SINGLELINE, u"Ludo"}, {u"&Ludo", DT_SINGLELINE | DT_NOPREFIX, u"&Ludo"}, {u"a&&b", DT_SINGLELINE, u"a&b"}};
    for (const auto& c : cases) {
        RECT r{5, 5, 6, 6};
        const SIZE size = page.Extent(c.measured);
        EXPECT_EQ(DrawTextW(page.dib.Dc(), c.text, -1, &r, DT_CALCRECT | c.format), size.cy);
        EXPECT_EQ(r.right - r.left, size.cx) << int(c.format);
        EXPECT_EQ(r.bottom - r.top, size.cy);
    }
    EXPECT_EQ(Ink(page.dib).right, -1);
    RECT r{};
    EXPECT_EQ(DrawTextW(page.dib.Dc(), nullptr, 3, &r, 0), 0);
    EXPECT_EQ(DrawTextW(page.dib.Dc(), u"x", 1, nullptr, 0), 0);
}

TEST(DrawText, PrefixUnderlinesItsLetter)
{
    Page with(80, 30, MakeFont(u"Arial", -14)), without(80, 30, MakeFont(u"Arial", -14));
    RECT r{0, 0, 80, 30};
    DrawTextW(with.dib.Dc(), u"&Nova", -1, &r, DT_SINGLELINE);
    DrawTextW(without.dib.Dc(), u"Nova", -1, &r, DT_SINGLELINE);
    TEXTMETRICW tm{};
    GetTextMetricsW(with.dib.Dc(), &tm);
    const int underline = tm.tmAscent + 1;
    EXPECT_EQ(with.dib.Raw(1, underline), 0u);
    EXPECT_EQ(without.dib.Raw(1, underline), 0xFFFFFFu);
    EXPECT_EQ(with.dib.Raw(with.Extent(u"N").cx + 2, underline), 0xFFFFFFu);
}

TEST(DrawText, WordBreakWrapsAtBlanksWithinTheWidth)
{
    const std::u16string text = u"Trovu tri kartojn kiuj formas kvibon";
    Page drawn(120, 100, MakeFont(u"MS Shell Dlg", -13)), expected(120, 100, MakeFont(u"MS Shell Dlg", -13));
    const int width = 100;
    // The lines a greedy break at blanks gives, measured with the extents.
    std::vector<std::u16string> lines{u""};
    size_t start = 0;
    while (start < text.size()) {
        size_t end = std::min(text.find(u' ', start), text.size());
        const std::u16string word = text.substr(start, end - start);
        const std::u16string joined = lines.back().empty() ? word : lines.back() + u" " + word;
        if (!lines.back().empty() && expected.Extent(joined).cx > width)
            lines.push_back(word);
        else
            lines.back() = joined;
        start = end + 1;
    }
    ASSERT_GE(lines.size(), 3u);
    const int lineHeight = expected.Extent(u"x").cy;
    RECT calc{0, 0, width, 0};
    EXPECT_EQ(DrawTextW(drawn.dib.Dc(), text.c_str(), -1, &calc, DT_WORDBREAK | DT_CALCRECT), int(lines.size()) * lineHeight);
    EXPECT_EQ(calc.bottom, int(lines.size()) * lineHeight);
    LONG widest = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        widest = std::max(widest, expected.Extent(lines[i]).cx);
        ExtTextOutW(expected.dib.Dc(), 0, int(i) * lineHeight, 0, nullptr, lines[i].c_str(), UINT(lines[i].size()), nullptr);
    }
    EXPECT_EQ(calc.right, widest);
    EXPECT_LE(calc.right, width);
    RECT r{0, 0, width, 100};
    DrawTextW(drawn.dib.Dc(), text.c_str(), -1, &r, DT_WORDBREAK | DT_NOPREFIX);
    EXPECT_EQ(drawn.dib.Rgb(), expected.dib.Rgb());
}

TEST(DrawText, LineBreaksAndEllipsis)
{
    Page page(100, 60, MakeFont(u"Arial", -12));
    const int lineHeight = page.Extent(u"x").cy;
    RECT r{0, 0, 100, 0};
    EXPECT_EQ(DrawTextW(page.dib.Dc(), u"unu\r\ndu\ntri", -1, &r, DT_CALCRECT), 3 * lineHeight);
    r = {0, 0, 40, 20};
    DrawTextW(page.dib.Dc(), u"Tre longa teksto ne konvenas", -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_LE(r.right, 40);
    EXPECT_GT(r.right, 0);
    // Drawing stays inside the rectangle unless told otherwise.
    r = {0, 0, 40, 20};
    DrawTextW(page.dib.Dc(), u"Tre longa teksto ne konvenas", -1, &r, DT_SINGLELINE);
    EXPECT_LE(Ink(page.dib).right, 40);
}
