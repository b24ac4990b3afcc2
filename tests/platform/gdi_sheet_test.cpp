// Test sheets: one picture of text and blits per target depth, written as PNG for a person to
// look at. The assertions only check that the sheet was drawn and saved.
#include <gtest/gtest.h>

#include <string>

#include "gdi_support.h"
#include "screenshot.h"
#include "windows.h"

namespace {

const DWORD k565[3] = {0xF800, 0x7E0, 0x1F};

HFONT Font(const char16_t* face, LONG height, LONG weight = FW_NORMAL, BYTE italic = 0, BYTE underline = 0)
{
    LOGFONTW lf{};
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfItalic = italic;
    lf.lfUnderline = underline;
    lf.lfQuality = ANTIALIASED_QUALITY;
    std::u16string_view name(face);
    std::copy(name.begin(), name.end(), lf.lfFaceName);
    return CreateFontIndirectW(&lf);
}

void Text(HDC dc, HFONT font, int x, int y, std::u16string_view text)
{
    HGDIOBJ old = SelectObject(dc, font);
    ExtTextOutW(dc, x, y, 0, nullptr, text.data(), UINT(text.size()), nullptr);
    SelectObject(dc, old);
}

void Frame(HDC dc, const RECT& r)
{
    HBRUSH grey = CreateSolidBrush(RGB(200, 200, 200));
    RECT edges[] = {{r.left - 1, r.top - 1, r.right + 1, r.top},
                    {r.left - 1, r.bottom, r.right + 1, r.bottom + 1},
                    {r.left - 1, r.top, r.left, r.bottom},
                    {r.right, r.top, r.right + 1, r.bottom}};
    for (const RECT& e : edges)
        FillRect(dc, &e, grey);
    DeleteObject(grey);
}

// A small sprite: a blue key background with a red disc-like diamond and a green bar.
void Sprite(TestDib& sprite)
{
    const int w = sprite.Width(), h = sprite.Height();
    HDC dc = sprite.Dc();
    RECT all{0, 0, w, h};
    HBRUSH key = CreateSolidBrush(RGB(0, 0, 255)), red = CreateSolidBrush(RGB(220, 30, 30)),
           green = CreateSolidBrush(RGB(30, 180, 60));
    FillRect(dc, &all, key);
    for (int y = 0; y < h; ++y) {
        const int half = std::min(y, h - 1 - y) * w / h;
        RECT row{w / 2 - half, y, w / 2 + half, y + 1};
        FillRect(dc, &row, red);
    }
    RECT bar{2, h / 2 - 2, w - 2, h / 2 + 2};
    FillRect(dc, &bar, green);
    DeleteObject(key);
    DeleteObject(red);
    DeleteObject(green);
}

void DrawSheet(TestDib& sheet)
{
    HDC dc = sheet.Dc();
    RECT all{0, 0, sheet.Width(), sheet.Height()};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetBkMode(dc, TRANSPARENT);

    HFONT title = Font(u"MS Shell Dlg", -18, FW_BOLD), body = Font(u"MS Shell Dlg Eo", -14),
          arial = Font(u"Arial", 16), italic = Font(u"Unknown Face", -14, FW_NORMAL, 1, 1);
    SetTextColor(dc, RGB(0, 0, 0));
    Text(dc, title, 10, 6, u"Quibo test sheet: text and blits");
    Text(dc, body, 10, 32, u"Esperanto: Ĉiuĵaŭde ŝi manĝas ĥoran pecon. ĈĜĤĴŜŬ ĉĝĥĵŝŭ");
    SetTextColor(dc, RGB(0, 90, 200));
    Text(dc, arial, 10, 52, u"Arial 16 cell: The quick brown fox jumps over the lazy dog");
    SetTextColor(dc, RGB(160, 0, 80));
    Text(dc, italic, 10, 74, u"Unknown face, italic and underlined: Ludo finiĝis");

    // DrawTextW alignments in framed boxes.
    SetTextColor(dc, RGB(0, 0, 0));
    HGDIOBJ old = SelectObject(dc, body);
    const UINT aligns[] = {DT_LEFT, DT_CENTER, DT_RIGHT};
    for (int i = 0; i < 3; ++i) {
        RECT box{10 + i * 125, 100, 130 + i * 125, 130};
        Frame(dc, box);
        DrawTextW(dc, u"&Tempo: 1:23", -1, &box, aligns[i] | DT_SINGLELINE | DT_VCENTER);
    }
    RECT wrap{10, 140, 190, 240};
    Frame(dc, wrap);
    DrawTextW(dc, u"Trovu tri kartojn kiuj, laŭ ĉiu el la kvar ecoj, estas ĉiuj samaj aŭ ĉiuj malsamaj.", -1,
              &wrap, DT_WORDBREAK | DT_CENTER);
    RECT ellipsis{200, 140, 320, 160};
    Frame(dc, ellipsis);
    DrawTextW(dc, u"Tro longa teksto por la skatolo", -1, &ellipsis, DT_SINGLELINE | DT_END_ELLIPSIS);
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, RGB(255, 240, 150));
    RECT opaque{200, 170, 320, 190};
    DrawTextW(dc, u"Opaque background", -1, &opaque, DT_SINGLELINE);
    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, old);

    // Edges, focus rectangle, rectangle.
    RECT button{400, 100, 470, 130};
    DrawEdge(dc, &button, EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST);
    SelectObject(dc, body);
    DrawTextW(dc, u"Nova", -1, &button, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    button = {button.left + 2, button.top + 2, button.right - 2, button.bottom - 2};
    DrawFocusRect(dc, &button);
    RECT pushed{480, 100, 550, 130};
    DrawEdge(dc, &pushed, EDGE_SUNKEN, BF_RECT | BF_MIDDLE | BF_ADJUST);
    DrawTextW(dc, u"Premita", -1, &pushed, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    SelectObject(dc, old);
    HBRUSH yellow = CreateSolidBrush(RGB(250, 220, 40));
    HGDIOBJ oldBrush = SelectObject(dc, yellow);
    Rectangle(dc, 560, 100, 610, 130);
    SelectObject(dc, oldBrush);
    DeleteObject(yellow);

    // Blits from every source depth: 8-bit swatches, 5-6-5 and 24-bit gradients.
    TestDib swatches(16, 1, 8, TestTable(256));
    for (int x = 0; x < 16; ++x)
        swatches.SetRaw(x, 0, uint32_t(x));
    StretchBlt(dc, 340, 145, 256, 16, swatches.Dc(), 0, 0, 16, 1, SRCCOPY);
    TestDib g565(256, 1, 16, {}, k565), g24(256, 1, 24);
    for (int x = 0; x < 256; ++x) {
        g24.SetRaw(x, 0, uint32_t(x) << 16 | uint32_t(255 - x) << 8 | uint32_t(x / 2));
        g565.SetRaw(x, 0, uint32_t(x >> 3) << 11 | uint32_t(x >> 2) << 5 | uint32_t(31 - (x >> 3)));
    }
    StretchBlt(dc, 340, 165, 256, 12, g565.Dc(), 0, 0, 256, 1, SRCCOPY);
    StretchBlt(dc, 340, 181, 256, 12, g24.Dc(), 0, 0, 256, 1, SRCCOPY);

    // Sprites: plain, transparent, doubled, halved.
    TestDib sprite(34, 60, 24);
    Sprite(sprite);
    BitBlt(dc, 340, 210, 34, 60, sprite.Dc(), 0, 0, SRCCOPY);
    TransparentBlt(dc, 384, 210, 34, 60, sprite.Dc(), 0, 0, 34, 60, RGB(0, 0, 255));
    TransparentBlt(dc, 428, 210, 68, 120, sprite.Dc(), 0, 0, 34, 60, RGB(0, 0, 255));
    StretchBlt(dc, 506, 210, 17, 30, sprite.Dc(), 0, 0, 34, 60, SRCCOPY);

    // Text in every font size the layouts use.
    int y = 250;
    for (LONG height : {-11, -12, -14, -16}) {
        HFONT f = Font(u"MS Shell Dlg", height, height == -14 ? FW_BOLD : FW_NORMAL);
        Text(dc, f, 10, y, u"Poentoj 12:34  Kartoj 81  Ĝis revido!");
        y += 22;
        DeleteObject(f);
    }
    for (HFONT f : {title, body, arial, italic})
        DeleteObject(f);
}

} // namespace

TEST(TestSheet, DrawsOnEveryTargetDepth)
{
    struct Target {
        const char* name;
        int bits;
        std::vector<RGBQUAD> table;
        const DWORD* masks;
    };
    std::vector<RGBQUAD> system(256);
    PALETTEENTRY entries[256];
    HDC screen = GetDC(nullptr);
    GetSystemPaletteEntries(screen, 0, 256, entries);
    ReleaseDC(nullptr, screen);
    // An 8-bit table like the engine's: the static colours around a 6x6x6 colour cube.
    for (int i = 0; i < 256; ++i)
        system[i] = {entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0};
    for (int i = 0; i < 216; ++i)
        system[20 + i] = {BYTE(i % 6 * 51), BYTE(i / 6 % 6 * 51), BYTE(i / 36 * 51), 0};
    const Target targets[] = {{"sheet-32.png", 32, {}, nullptr},
                              {"sheet-24.png", 24, {}, nullptr},
                              {"sheet-16-565.png", 16, {}, k565},
                              {"sheet-8.png", 8, system, nullptr}};
    for (const Target& t : targets) {
        TestDib sheet(620, 340, t.bits, t.table, t.masks);
        DrawSheet(sheet);
        ASSERT_TRUE(sheet.SavePng(t.name)) << t.name;
        EXPECT_TRUE(std::filesystem::file_size(TestOutputDir() / t.name) > 1000);
    }
}
