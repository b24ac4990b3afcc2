#include "sheet.h"

#include <algorithm>

namespace {

constexpr int kMargin = 10;
constexpr int kGap = 4;
constexpr int kMaxWidth = 1100;
constexpr Rgb kBackground{42, 42, 51};

struct Placed {
    const SheetEntry* entry;
    int columns, rows, cells;
    int top; // of the cells, below the label
};

void PutPixel(RgbImage& sheet, int x, int y, Rgb colour)
{
    if (x >= 0 && y >= 0 && x < sheet.width && y < sheet.height)
        sheet.pixels[size_t(y) * size_t(sheet.width) + size_t(x)] = colour;
}

void Label(RgbImage& sheet, const Ink& ink, int x, int y)
{
    for (int my = 0; my < ink.mask.height; ++my)
        for (int mx = 0; mx < ink.mask.width; ++mx) {
            const float c = ink.mask.At(mx, my);
            const auto level = uint8_t(float(kBackground.r) + (235.0f - float(kBackground.r)) * c);
            if (c > 0)
                PutPixel(sheet, x + mx, y + my, {level, level, uint8_t(std::min(255, level + 10))});
        }
}

} // namespace

RgbImage ContactSheet(TextRenderer& text, const std::string& title, const std::vector<SheetEntry>& entries, int zoom)
{
    const int labelHeight = 22;
    std::vector<Placed> placed;
    int y = kMargin + labelHeight + 6, width = 0;
    for (const SheetEntry& entry : entries) {
        const int natural = std::max(1, entry.image->width / entry.cellWidth);
        const int cells = natural * std::max(1, entry.image->height / entry.cellHeight);
        const int fit = std::max(1, (kMaxWidth - 2 * kMargin) / (entry.cellWidth * zoom + kGap));
        // Keep a sheet's own grid when it fits; strips of single cells are laid out across.
        const int columns = natural > 1 && natural <= fit ? natural : std::min(fit, cells);
        const int rows = (cells + columns - 1) / columns;
        placed.push_back({&entry, columns, rows, cells, y + labelHeight});
        width = std::max(width, kMargin * 2 + columns * (entry.cellWidth * zoom + kGap));
        y += labelHeight + rows * (entry.cellHeight * zoom + kGap) + 8;
    }
    RgbImage sheet{width, y + kMargin, std::vector<Rgb>(size_t(width) * size_t(y + kMargin), kBackground), false};

    Label(sheet, text.Render(Face::Bold, 16, title), kMargin, kMargin);
    for (const Placed& p : placed) {
        const SheetEntry& e = *p.entry;
        Label(sheet, text.Render(Face::Condensed, 12, e.name), kMargin, p.top - labelHeight + 4);
        const int natural = std::max(1, e.image->width / e.cellWidth);
        for (int i = 0; i < p.cells; ++i) {
            const int sx0 = (i % natural) * e.cellWidth, sy0 = (i / natural) * e.cellHeight;
            const int dx0 = kMargin + (i % p.columns) * (e.cellWidth * zoom + kGap);
            const int dy0 = p.top + (i / p.columns) * (e.cellHeight * zoom + kGap);
            for (int sy = 0; sy < e.cellHeight * zoom; ++sy)
                for (int sx = 0; sx < e.cellWidth * zoom; ++sx) {
                    Rgb colour = e.image->pixels[size_t(sy0 + sy / zoom) * size_t(e.image->width) + size_t(sx0 + sx / zoom)];
                    if (e.image->keyed && colour == kKey) {
                        const bool light = ((sx / 6) + (sy / 6)) % 2 == 0;
                        colour = light ? Rgb{200, 200, 200} : Rgb{150, 150, 150};
                    }
                    PutPixel(sheet, dx0 + sx, dy0 + sy, colour);
                }
        }
    }
    return sheet;
}
