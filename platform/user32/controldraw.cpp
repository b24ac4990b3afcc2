// The glyphs of the classic look, drawn pixel by pixel so they look the same at every size of
// font: the sunken check box with its tick, the two-ringed radio button, the drop-down arrow.
#include "controls.h"

#include <cmath>
#include <map>

namespace {

void Pixel(HDC hdc, int x, int y, int color)
{
    RECT r{x, y, x + 1, y + 1};
    FillRect(hdc, &r, GetSysColorBrush(color));
}

} // namespace

HBRUSH GetSysColorBrush(int index)
{
    static std::map<int, HBRUSH> brushes; // live as long as the program, as system brushes do
    UserGuard guard(UserLock());
    HBRUSH& brush = brushes[index];
    if (!brush)
        brush = CreateSolidBrush(GetSysColor(index));
    return brush;
}

void DrawCheckBox(HDC hdc, int x, int y, bool checked, bool enabled)
{
    RECT box{x, y, x + 13, y + 13};
    DrawEdge(hdc, &box, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    FillRect(hdc, &box, GetSysColorBrush(enabled ? COLOR_WINDOW : COLOR_3DFACE));
    if (!checked)
        return;
    // A tick of vertical three-pixel strokes: down for three columns, then up.
    static const int kTops[7] = {2, 3, 4, 3, 2, 1, 0};
    for (int i = 0; i < 7; ++i) {
        RECT stroke{x + 3 + i, y + 3 + kTops[i], x + 4 + i, y + 6 + kTops[i]};
        FillRect(hdc, &stroke, GetSysColorBrush(enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    }
}

void DrawRadioButton(HDC hdc, int x, int y, bool checked, bool enabled)
{
    for (int py = 0; py < 12; ++py)
        for (int px = 0; px < 12; ++px) {
            const double r = std::hypot(px + 0.5 - 6.0, py + 0.5 - 6.0);
            const bool upperLeft = px + py < 11;
            int color;
            if (r >= 6.0)
                continue;
            if (r >= 5.0)
                color = upperLeft ? COLOR_3DSHADOW : COLOR_3DHIGHLIGHT;
            else if (r >= 4.0)
                color = upperLeft ? COLOR_3DDKSHADOW : COLOR_3DLIGHT;
            else if (checked && r < 2.0)
                color = enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT;
            else
                color = enabled ? COLOR_WINDOW : COLOR_3DFACE;
            Pixel(hdc, x + px, y + py, color);
        }
}

void DrawDropArrow(HDC hdc, const RECT& rect, bool enabled)
{
    const int cx = (rect.left + rect.right) / 2;
    const int top = (rect.top + rect.bottom) / 2 - 2;
    for (int row = 0; row < 4; ++row) {
        RECT line{cx - 3 + row, top + row, cx + 4 - row, top + row + 1};
        FillRect(hdc, &line, GetSysColorBrush(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    }
}

int FrameRect(HDC hdc, const RECT* rect, HBRUSH brush)
{
    if (!rect)
        return 0;
    const RECT sides[4] = {{rect->left, rect->top, rect->right, rect->top + 1},
                           {rect->left, rect->bottom - 1, rect->right, rect->bottom},
                           {rect->left, rect->top, rect->left + 1, rect->bottom},
                           {rect->right - 1, rect->top, rect->right, rect->bottom}};
    for (const RECT& side : sides)
        FillRect(hdc, &side, brush);
    return 1;
}
