#include "gdi_support.h"

#include "windows.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <tuple>

namespace {

HFONT MakeFont(const char16_t* face, LONG height, LONG weight = FW_NORMAL)
{
    LOGFONTW lf{height, 0, 0, 0, weight, 0, 0, 0, DEFAULT_CHARSET, 0, 0, ANTIALIASED_QUALITY, 0, {}};
    std::u16string_view(face).copy(lf.lfFaceName, LF_FACESIZE - 1);
    return CreateFontIndirectW(&lf);
}

// A white page with black transparent text in the given font, which it owns.
struct Page {
    TestDib dib;
    HFONT font;
    Page(int w, int h, HFONT f, int bits = 24, std::vector<RGBQUAD> table = {}) : dib(w, h, bits, table), font(f)
    {
        SelectObject(dib.Dc(), font);
        PatBlt(dib.Dc(), 0, 0, w, h, WHITENESS);
        SetBkMode(dib.Dc(), TRANSPARENT);
    }
    ~Page()
    {
        SelectObject(dib.Dc(), GetStockObject(SYSTEM_FONT));
        DeleteObject(font);
    }
    SIZE Extent(std::u16string_view text) const
    {
        SIZE size{};
        GetTextExtentPoint32W(dib.Dc(), text.data(), int(text.size()), &size);
        return size;
    }
    TEXTMETRICW Metrics() const
    {
        TEXTMETRICW tm{};
        GetTextMetricsW(dib.Dc(), &tm);
        return tm;
    }
    void Out(int x, int y, std::u16string_view text, UINT options = 0, const RECT* r = nullptr)
    {
        ExtTextOutW(dib.Dc(), x, y, options, r, text.data(), UINT(text.size()), nullptr);
    }
    // The rectangle around everything not white; right is -1 on a blank page.
    RECT Ink() const
    {
        RECT r{dib.Width(), dib.Height(), -1, -1};
        const std::vector<uint32_t> rgb = dib.Rgb();
        for (int y = 0; y < dib.Height(); ++y)
            for (int x = 0; x < dib.Width(); ++x)
                if (rgb[size_t(y) * dib.Width() + x] != 0xFFFFFF)
                    r = {std::min<LONG>(r.left, x), std::min<LONG>(r.top, y), std::max<LONG>(r.right, x + 1),
                         std::max<LONG>(r.bottom, y + 1)};
        return r;
    }
};

} // namespace

TEST(Fonts, HeightSignAndWeightAreHonouredAndEveryFaceDrawsTheEsperantoLetters)
{
    Page page(1, 1, MakeFont(u"Arial", -14));
    Page bold(1, 1, MakeFont(u"Arial", -14, FW_BOLD)), cell(1, 1, MakeFont(u"MS Shell Dlg", 20));
    const TEXTMETRICW tm = page.Metrics(), heavy = bold.Metrics(), tall = cell.Metrics();
    LOGFONTW lf{};
    GetObject(cell.font, sizeof lf, &lf);
    // Negative heights are the character height, positive ones the cell height.
    EXPECT_EQ(std::vector<LONG>({tm.tmHeight - tm.tmAscent - tm.tmDescent, tm.tmInternalLeading, heavy.tmWeight,
                                 bold.Extent(u"Quibo game over").cx > page.Extent(u"Quibo game over").cx, std::abs(tall.tmHeight - 20) <= 1,
                                 lf.lfHeight}),
              std::vector<LONG>({0, tm.tmHeight - 14, FW_BOLD, 1, 1, 20}));
    SIZE size;
    EXPECT_FALSE(GetTextExtentPoint32W(reinterpret_cast<HDC>(uintptr_t{8}), u"x", 1, &size));
    const std::u16string plain = u"cghjsuCGHJSU", accented = u"ĉĝĥĵŝŭĈĜĤĴŜŬ";
    for (const char16_t* face : {u"MS Shell Dlg", u"MS Shell Dlg Eo", u"Arial", u"Arial Eo", u"No Such Face", u""}) {
        const auto draw = [&](std::u16string_view text) {
            Page page(30, 30, MakeFont(face, -16));
            page.Out(2, 2, text);
            return page.dib.Rgb();
        };
        // What a missing letter looks like: the face's box for a code point no face has.
        const std::vector<uint32_t> box = draw(u"\U0010FFFD");
        for (size_t i = 0; i < plain.size(); ++i) {
            const std::vector<uint32_t> letter = draw(accented.substr(i, 1));
            EXPECT_TRUE(letter != box && letter != draw(plain.substr(i, 1))) << i;
        }
    }
}

TEST(TextOut, InksWithinTheExtentFillsTheCellWhenOpaqueAndAntialiasesOnDirectTargetsOnly)
{
    Page page(200, 60, MakeFont(u"MS Shell Dlg Eo", -14));
    const std::u16string text = u"Ĉiuĵaŭde ŝi manĝas ĥoran";
    const SIZE size = page.Extent(text);
    page.Out(0, 0, text);
    const RECT ink = page.Ink();
    EXPECT_TRUE(size.cx > 100 && ink.right <= size.cx + 1 && ink.bottom <= size.cy) << size.cx << " " << ink.right << " " << ink.bottom;

    SetBkMode(page.dib.Dc(), OPAQUE);
    SetBkColor(page.dib.Dc(), RGB(255, 0, 0));
    const SIZE hi = page.Extent(u"Hi");
    page.Out(10, 25, u"Hi");
    EXPECT_EQ(std::vector<uint32_t>({page.dib.Raw(10, 25), page.dib.Raw(10 + hi.cx - 1, 25 + hi.cy - 1), page.dib.Raw(10 + hi.cx, 25)}),
              std::vector<uint32_t>({0xFF0000, 0xFF0000, 0xFFFFFF}));
    // On an 8-bit target every pixel is the background or the table's nearest text colour.
    // Empty: more than four shades.
    const std::pair<int, std::set<uint32_t>> cases[] = {{24, {}}, {16, {}}, {8, {1, 2}}};
    for (const auto& [bits, exactly] : cases) {
        Page shown(150, 24, MakeFont(u"Arial", -16), bits, bits == 8 ? TestTable(256) : std::vector<RGBQUAD>{});
        SetTextColor(shown.dib.Dc(), RGB(bits == 8 ? 250 : 255, 0, 0)); // nearest: red, index 2
        shown.Out(0, 0, u"Ŝi ĝuas la ludon");
        const std::vector<uint32_t> pixels = shown.dib.Pixels();
        const std::set<uint32_t> seen(pixels.begin(), pixels.end());
        EXPECT_TRUE(exactly.empty() ? seen.size() > 4 : seen == exactly) << bits;
        shown.dib.SavePng("text-" + std::to_string(bits) + "-smooth.png"); // for a person to look at
    }
}

TEST(DrawText, AlignsCentresVerticallyAndUnderlinesThePrefixedLetter)
{
    const std::u16string text = u"Poentoj";
    for (UINT align : {DT_LEFT, DT_CENTER, DT_RIGHT}) {
        Page drawn(200, 60, MakeFont(u"MS Shell Dlg", -14)), expected(200, 60, MakeFont(u"MS Shell Dlg", -14));
        RECT r{10, 10, 190, 50};
        const int returned = DrawTextW(drawn.dib.Dc(), text.c_str(), -1, &r, align | DT_SINGLELINE | DT_VCENTER);
        const SIZE size = expected.Extent(text);
        const int x = align == DT_LEFT ? 10 : align == DT_CENTER ? (10 + 190 - size.cx) / 2 : 190 - size.cx;
        const int y = (10 + 50 - size.cy) / 2;
        expected.Out(x, y, text);
        EXPECT_EQ(std::make_pair(drawn.dib.Rgb(), returned), std::make_pair(expected.dib.Rgb(), y + size.cy - 10)) << align;
    }
    Page with(80, 30, MakeFont(u"Arial", -14)), without(80, 30, MakeFont(u"Arial", -14));
    RECT r{0, 0, 80, 30};
    DrawTextW(with.dib.Dc(), u"&Nova", -1, &r, DT_SINGLELINE);
    DrawTextW(without.dib.Dc(), u"Nova", -1, &r, DT_SINGLELINE);
    const int underline = with.Metrics().tmAscent + 1;
    EXPECT_EQ(std::vector<uint32_t>(
                  {with.dib.Raw(1, underline), without.dib.Raw(1, underline), with.dib.Raw(with.Extent(u"N").cx + 2, underline)}),
              std::vector<uint32_t>({0, 0xFFFFFF, 0xFFFFFF}));
}

TEST(DrawText, MeasuresWithoutDrawingBreaksAtLineEndsAndBlanksAndStaysInside)
{
    Page drawn(100, 60, MakeFont(u"Arial", -12)), expected(100, 60, MakeFont(u"Arial", -12));
    const std::tuple<const char16_t*, UINT, const char16_t*> cases[]
        = {{u"&Ludo", DT_SINGLELINE, u"Ludo"}, {u"&Ludo", DT_SINGLELINE | DT_NOPREFIX, u"&Ludo"}, {u"a&&b", DT_SINGLELINE, u"a&b"}};
    RECT r;
    for (const auto& [text, format, measured] : cases) {
        r = {5, 5, 6, 6};
        const SIZE size = drawn.Extent(measured);
        const LONG height = DrawTextW(drawn.dib.Dc(), text, -1, &r, DT_CALCRECT | format);
        EXPECT_EQ(std::vector<LONG>({height, r.right - r.left, r.bottom - r.top}), std::vector<LONG>({size.cy, size.cx, size.cy}))
            << int(format);
    }
    RECT none{};
    EXPECT_EQ(std::vector<LONG>(
                  {drawn.Ink().right, DrawTextW(drawn.dib.Dc(), nullptr, 3, &none, 0), DrawTextW(drawn.dib.Dc(), u"x", 1, nullptr, 0)}),
              std::vector<LONG>({-1, 0, 0}));
    const int lineHeight = drawn.Extent(u"x").cy;
    r = {0, 0, 100, 0};
    EXPECT_EQ(DrawTextW(drawn.dib.Dc(), u"unu\r\ndu\ntri", -1, &r, DT_CALCRECT), 3 * lineHeight);
    // "du tri" does not fit beside "unu": it wraps, losing the blank where it broke.
    const int width = drawn.Extent(u"unu du").cx;
    r = {0, 0, width, 0};
    const LONG height = DrawTextW(drawn.dib.Dc(), u"unu du tri", -1, &r, DT_WORDBREAK | DT_CALCRECT);
    EXPECT_EQ(std::make_pair(height, r.right), std::make_pair(LONG(2 * lineHeight), LONG(width)));
    r = {0, 0, width, 60};
    DrawTextW(drawn.dib.Dc(), u"unu du tri", -1, &r, DT_WORDBREAK);
    expected.Out(0, 0, u"unu du");
    expected.Out(0, lineHeight, u"tri");
    EXPECT_EQ(drawn.dib.Rgb(), expected.dib.Rgb());

    Page cut(100, 20, MakeFont(u"Arial", -12));
    r = {0, 0, 40, 20}; // drawing stays inside the rectangle unless told otherwise
    DrawTextW(cut.dib.Dc(), u"Tre longa teksto ne konvenas", -1, &r, DT_SINGLELINE);
    EXPECT_LE(cut.Ink().right, 40);
}
