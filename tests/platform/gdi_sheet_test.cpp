// Test sheets: one picture of text and blits per target depth, written as PNG for a person to
// look at. The assertions only check that the sheet was drawn and saved.
#include "gdi_support.h"
#include "screenshot.h"

#include "windows.h"

#include <gtest/gtest.h>
#include <string>

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

// A sprite on a blue key background: a red diamond with a green bar.
void Sprite(TestDib& sprite)
{
    const int w = sprite.Width(), h = sprite.Height();
    sprite.FillRaw(0x0000FF);
    for (int y = 0; y < h; ++y)
        for (int x = w / 2 - std::min(y, h - 1 - y) * w / h; x < w / 2 + std::min(y, h - 1 - y) * w / h; ++x)
            sprite.SetRaw(x, y, std::abs(y - h / 2) <= 2 && x > 1 ? 0x1EB43C : 0xDC1E1E);
}

void DrawSheet(TestDib& sheet)
{
    HDC dc = sheet.Dc();
    RECT all{0, 0, sheet.Width(), sheet.Height()};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetBkMode(dc, TRANSPARENT);
    HFONT title = Font(u"MS Shell Dlg", -18, FW_BOLD), body = Font(u"MS Shell Dlg Eo", -14),
          italic = Font(u"Unknown Face", -14, FW_NORMAL, 1, 1);
    Text(dc, title, 10, 6, u"Quibo test sheet: text and blits");
    Text(dc, body, 10, 32, u"Esperanto: Ĉiuĵaŭde ŝi manĝas ĥoran pecon. ĈĜĤĴŜŬ ĉĝĥĵŝŭ");
    SetTextColor(dc, RGB(160, 0, 80));
    Text(dc, italic, 10, 54, u"Unknown face, italic and underlined: Ludo finiĝis");
    SetTextColor(dc, RGB(0, 0, 0));
    HGDIOBJ old = SelectObject(dc, body);
    const UINT formats[] = {DT_LEFT | DT_SINGLELINE | DT_VCENTER, DT_CENTER | DT_SINGLELINE | DT_VCENTER,
                            DT_RIGHT | DT_SINGLELINE | DT_END_ELLIPSIS, DT_WORDBREAK | DT_CENTER};
    for (int i = 0; i < 4; ++i) {
        RECT box{10 + i * 150, 80, 150 + i * 150, 150};
        DrawEdge(dc, &box, i % 2 ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);
        DrawTextW(dc, u"&Trovu tri kartojn kiuj, laŭ ĉiu el la kvar ecoj, estas samaj", -1, &box, formats[i]);
    }
    RECT focus{12, 82, 148, 148};
    DrawFocusRect(dc, &focus);
    SelectObject(dc, old);
    // Blits from every source depth: 8-bit swatches, 5-6-5 and 24-bit gradients, sprites.
    TestDib swatches(16, 1, 8, TestTable(256)), g565(256, 1, 16, {}, k565), g24(256, 1, 24), sprite(34, 60, 24);
    for (int x = 0; x < 256; ++x) {
        swatches.SetRaw(x % 16, 0, uint32_t(x % 16));
        g24.SetRaw(x, 0, uint32_t(x) << 16 | uint32_t(255 - x) << 8 | uint32_t(x / 2));
        g565.SetRaw(x, 0, uint32_t(x >> 3) << 11 | uint32_t(x >> 2) << 5 | uint32_t(31 - (x >> 3)));
    }
    StretchBlt(dc, 10, 170, 256, 16, swatches.Dc(), 0, 0, 16, 1, SRCCOPY);
    StretchBlt(dc, 10, 190, 256, 12, g565.Dc(), 0, 0, 256, 1, SRCCOPY);
    StretchBlt(dc, 10, 206, 256, 12, g24.Dc(), 0, 0, 256, 1, SRCCOPY);
    Sprite(sprite);
    BitBlt(dc, 300, 170, 34, 60, sprite.Dc(), 0, 0, SRCCOPY);
    TransparentBlt(dc, 344, 170, 68, 120, sprite.Dc(), 0, 0, 34, 60, RGB(0, 0, 255));
    StretchBlt(dc, 422, 170, 17, 30, sprite.Dc(), 0, 0, 34, 60, SRCCOPY);
    int y = 240;
    for (LONG height : {-11, -12, -16}) {
        HFONT f = Font(u"MS Shell Dlg", height);
        Text(dc, f, 10, y += 22, u"Poentoj 12:34  Kartoj 81  Ĝis revido!");
        DeleteObject(f);
    }
    for (HFONT f : {title, body, italic})
        DeleteObject(f);
}

} // namespace

TEST(TestSheet, DrawsOnEveryTargetDepth)
{
    // An 8-bit table like the engine's: the static colours around a 6x6x6 colour cube.
    PALETTEENTRY entries[256];
    HDC screen = GetDC(nullptr);
    GetSystemPaletteEntries(screen, 0, 256, entries);
    ReleaseDC(nullptr, screen);
    std::vector<RGBQUAD> system(256);
    for (int i = 0; i < 256; ++i)
        system[i] = i >= 20 && i < 236 ? RGBQUAD{BYTE((i - 20) % 6 * 51), BYTE((i - 20) / 6 % 6 * 51), BYTE((i - 20) / 36 * 51), 0}
                                       : RGBQUAD{entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0};
    for (int bits : {32, 24, 16, 8}) {
        const std::string name = "sheet-" + std::to_string(bits) + ".png";
        TestDib sheet(620, 340, bits, bits == 8 ? system : std::vector<RGBQUAD>{}, bits == 16 ? k565 : nullptr);
        DrawSheet(sheet);
        ASSERT_TRUE(sheet.SavePng(name));
        EXPECT_GT(std::filesystem::file_size(TestOutputDir() / name), 1000u);
    }
}
