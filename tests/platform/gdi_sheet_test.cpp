// Test sheets: one picture of text and blits per target depth, written as PNG for a person to
// look at. The assertions only check that the sheet was drawn and saved.
#include "gdi_support.h"
#include "screenshot.h"

#include "windows.h"

#include <gtest/gtest.h>
#include <string>

namespace {

const DWORD k565[3] = {0xF800, 0x7E0, 0x1F};

HFONT Font(const char16_t* face, LONG height, bool styled = false)
{
    LOGFONTW lf{};
    lf.lfHeight = height;
    lf.lfItalic = lf.lfUnderline = styled;
    lf.lfQuality = ANTIALIASED_QUALITY;
    std::u16string_view(face).copy(lf.lfFaceName, LF_FACESIZE - 1);
    return CreateFontIndirectW(&lf);
}

void DrawSheet(TestDib& sheet)
{
    HDC dc = sheet.Dc();
    RECT all{0, 0, sheet.Width(), sheet.Height()};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetBkMode(dc, TRANSPARENT);
    const struct {
        HFONT font;
        std::u16string_view text;
    } lines[] = {{Font(u"MS Shell Dlg", -18), u"Quibo test sheet: text and blits"},
                 {Font(u"Unknown Face", -14, true), u"Unknown face, italic and underlined: Ludo finiĝis"},
                 {Font(u"MS Shell Dlg Eo", -14), u"Esperanto: Ĉiuĵaŭde ŝi manĝas ĥoran pecon. ĈĜĤĴŜŬ ĉĝĥĵŝŭ"}};
    for (int i = 0; i < 3; ++i) {
        SelectObject(dc, lines[i].font);
        ExtTextOutW(dc, 10, 6 + 24 * i, 0, nullptr, lines[i].text.data(), UINT(lines[i].text.size()), nullptr);
    }
    const UINT formats[] = {DT_LEFT | DT_SINGLELINE | DT_VCENTER, DT_CENTER | DT_SINGLELINE | DT_VCENTER,
                            DT_RIGHT | DT_SINGLELINE | DT_END_ELLIPSIS, DT_WORDBREAK | DT_CENTER};
    for (int i = 0; i < 4; ++i) {
        RECT box{10 + i * 150, 80, 150 + i * 150, 150};
        DrawEdge(dc, &box, i % 2 ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);
        DrawTextW(dc, u"&Trovu tri kartojn kiuj, laŭ ĉiu el la kvar ecoj, estas samaj", -1, &box, formats[i]);
    }
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    for (const auto& line : lines)
        DeleteObject(line.font);
    RECT focus{12, 82, 148, 148};
    DrawFocusRect(dc, &focus);
    // Blits from every source depth: 8-bit swatches, 5-6-5 and 24-bit gradients, a sprite: a
    // red diamond on a blue key background.
    TestDib swatches(16, 1, 8, TestTable(256)), g565(256, 1, 16, {}, k565), g24(256, 1, 24), sprite(34, 60, 24);
    for (int x = 0; x < 256; ++x) {
        swatches.SetRaw(x % 16, 0, uint32_t(x % 16));
        g24.SetRaw(x, 0, uint32_t(x) << 16 | uint32_t(255 - x) << 8 | uint32_t(x / 2));
        g565.SetRaw(x, 0, uint32_t(x >> 3) << 11 | uint32_t(x >> 2) << 5 | uint32_t(31 - (x >> 3)));
    }
    sprite.FillRaw(0x0000FF);
    for (int y = 0; y < 60; ++y)
        for (int x = 17 - std::min(y, 59 - y) * 34 / 60; x < 17 + std::min(y, 59 - y) * 34 / 60; ++x)
            sprite.SetRaw(x, y, 0xDC1E1E);
    StretchBlt(dc, 10, 170, 256, 16, swatches.Dc(), 0, 0, 16, 1, SRCCOPY);
    StretchBlt(dc, 10, 190, 256, 12, g565.Dc(), 0, 0, 256, 1, SRCCOPY);
    StretchBlt(dc, 10, 206, 256, 12, g24.Dc(), 0, 0, 256, 1, SRCCOPY);
    BitBlt(dc, 300, 170, 34, 60, sprite.Dc(), 0, 0, SRCCOPY);
    TransparentBlt(dc, 344, 170, 68, 120, sprite.Dc(), 0, 0, 34, 60, RGB(0, 0, 255));
    StretchBlt(dc, 422, 170, 17, 30, sprite.Dc(), 0, 0, 34, 60, SRCCOPY);
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
        TestDib sheet(620, 300, bits, bits == 8 ? system : std::vector<RGBQUAD>{}, bits == 16 ? k565 : nullptr);
        DrawSheet(sheet);
        ASSERT_TRUE(sheet.SavePng(name));
        EXPECT_GT(std::filesystem::file_size(TestOutputDir() / name), 1000u);
    }
}
