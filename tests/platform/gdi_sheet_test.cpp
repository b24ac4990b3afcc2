// Test sheets: one picture of text, edges and blits per target depth, written as PNG for a person
// to look at; the key and the plain copy of one sprite are checked on every depth.
#include "gdi_support.h"

#include "windows.h"

#include <gtest/gtest.h>
#include <string>

namespace {

const DWORD k565[3] = {0xF800, 0x7E0, 0x1F};

void DrawSheet(TestDib& sheet)
{
    HDC dc = sheet.Dc();
    PatBlt(dc, 0, 0, sheet.Width(), sheet.Height(), WHITENESS);
    SetBkMode(dc, TRANSPARENT);
    LOGFONTW lf{};
    lf.lfHeight = -14;
    lf.lfQuality = ANTIALIASED_QUALITY;
    std::u16string_view(u"MS Shell Dlg Eo").copy(lf.lfFaceName, LF_FACESIZE - 1);
    HGDIOBJ old = SelectObject(dc, CreateFontIndirectW(&lf));
    const std::u16string_view text = u"Esperanto: Ĉiuĵaŭde ŝi manĝas ĥoran pecon. ĈĜĤĴŜŬ ĉĝĥĵŝŭ";
    ExtTextOutW(dc, 10, 6, 0, nullptr, text.data(), UINT(text.size()), nullptr);
    const UINT formats[] = {DT_LEFT | DT_SINGLELINE | DT_VCENTER, DT_RIGHT | DT_SINGLELINE | DT_END_ELLIPSIS, DT_WORDBREAK | DT_CENTER};
    for (int i = 0; i < 3; ++i) {
        RECT box{10 + i * 150, 30, 150 + i * 150, 100};
        DrawEdge(dc, &box, i % 2 ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);
        DrawTextW(dc, u"&Trovu tri kartojn kiuj, laŭ ĉiu el la kvar ecoj, estas samaj", -1, &box, formats[i]);
    }
    DeleteObject(SelectObject(dc, old));
    // A 24-bit gradient and a sprite: a red diamond on a blue key background.
    TestDib gradient(256, 1, 24), sprite(34, 60, 24);
    for (int x = 0; x < 256; ++x)
        gradient.SetRaw(x, 0, uint32_t(x) << 16 | uint32_t(255 - x) << 8 | uint32_t(x / 2));
    sprite.FillRaw(0x0000FF);
    for (int y = 0; y < 60; ++y)
        for (int x = 17 - std::min(y, 59 - y) * 34 / 60; x < 17 + std::min(y, 59 - y) * 34 / 60; ++x)
            sprite.SetRaw(x, y, 0xDC1E1E);
    StretchBlt(dc, 10, 110, 256, 12, gradient.Dc(), 0, 0, 256, 1, SRCCOPY);
    BitBlt(dc, 300, 110, 34, 60, sprite.Dc(), 0, 0, SRCCOPY);
    TransparentBlt(dc, 344, 110, 68, 120, sprite.Dc(), 0, 0, 34, 60, RGB(0, 0, 255));
}

} // namespace

TEST(TestSheet, DrawsOnEveryTargetDepthAndKeysTheSprite)
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
        TestDib sheet(460, 240, bits, bits == 8 ? system : std::vector<RGBQUAD>{}, bits == 16 ? k565 : nullptr);
        DrawSheet(sheet);
        const std::vector<uint32_t> rgb = sheet.Rgb();
        // The copied sprite keeps its blue corner; the keyed one lets the white page through.
        EXPECT_EQ(std::vector<uint32_t>({rgb[111 * 460 + 301], rgb[111 * 460 + 345], rgb[170 * 460 + 378]}),
                  std::vector<uint32_t>({0x0000FF, 0xFFFFFF, rgb[140 * 460 + 317]}))
            << bits;
        EXPECT_TRUE(sheet.SavePng("sheet-" + std::to_string(bits) + ".png"));
    }
}
