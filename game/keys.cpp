// Keyboard play: the focus ring and the keys of the play screen.
#include "keys.h"

#include "cea_graphic.h"
#include "cea_object.h"
#include "cea_window.h"
#include "display.h"
#include "screens.h"
#include "tile.h"

#include <algorithm>

namespace {

constexpr int kRingWidth = 2; // drawn in the gap between tiles, never over a face
constexpr COLORREF kRingColor = RGB(255, 204, 0);
constexpr int kRingLayer = iTILE_LAYER - 1; // just in front of the tiles

POINT g_focus{-1, -1};
ANIMOBJECT* g_ring;

LRESULT RingProc(ANIMOBJECT* object, UINT message, void* data)
{
    if (message == kObjDestroying && object == g_ring)
        g_ring = nullptr;
    if (message != kObjDraw)
        return 1;
    const ANIMDRAW& draw = *static_cast<ANIMDRAW*>(data);
    const RECT& r = object->rect;
    const RECT bars[] = {
        {r.left, r.top, r.right, r.top + kRingWidth},
        {r.left, r.bottom - kRingWidth, r.right, r.bottom},
        {r.left, r.top + kRingWidth, r.left + kRingWidth, r.bottom - kRingWidth},
        {r.right - kRingWidth, r.top + kRingWidth, r.right, r.bottom - kRingWidth},
    };
    HDC dc = draw.target->GetDC();
    HBRUSH brush = CreateSolidBrush(kRingColor);
    for (const RECT& bar : bars) {
        RECT part;
        if (IntersectRect(&part, &bar, &draw.rect))
            FillRect(dc, &part, brush);
    }
    DeleteObject(brush);
    draw.target->ReleaseDC();
    return 1;
}

void RemoveRing()
{
    if (g_ring)
        g_ring->Destroy();
    g_focus = {-1, -1};
}

bool KeyboardPlays()
{
    return CurrentScreen() == SCREEN_PLAY && g_game.fActive && !g_game.fPaused && DisplayWindow();
}

ANIMOBJECT* FocusedTile()
{
    if (g_focus.x < 0)
        return nullptr;
    return g_game.rgBoard[g_focus.y][g_focus.x].pObject;
}

// The first arrow key shows the ring on the first tile rather than moving it.
void Arrow(UINT vk)
{
    int rowCounts[cROWS];
    if (CountTiles(rowCounts) == 0)
        return;
    g_focus = g_focus.x < 0 ? MoveFocus({0, 0}, 0, rowCounts) : MoveFocus(g_focus, vk, rowCounts);
    if (!g_ring)
        g_ring = ANIMOBJECT::Create(DisplayWindow(), RingProc, kRingLayer);
    RefreshFocus();
}

void Select()
{
    const ANIMOBJECT* tile = FocusedTile();
    if (!tile)
        return;
    const RECT& r = tile->rect;
    ClickTile({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

} // namespace

POINT MoveFocus(POINT from, UINT vk, const int rowCounts[cROWS])
{
    // From an emptied slot: the nearest row that holds tiles, the one above on a tie, then
    // its nearest tile.
    const int fromRow = std::clamp(int(from.y), 0, cROWS - 1);
    int row = -1;
    for (int d = 0; d < cROWS && row < 0; ++d) {
        if (fromRow - d >= 0 && rowCounts[fromRow - d] > 0)
            row = fromRow - d;
        else if (fromRow + d < cROWS && rowCounts[fromRow + d] > 0)
            row = fromRow + d;
    }
    if (row < 0)
        return {-1, -1};
    int column = std::clamp(int(from.x), 0, rowCounts[row] - 1);
    if (column != from.x || row != from.y)
        return {column, row};

    switch (vk) {
    case VK_LEFT: column = std::max(column - 1, 0); break;
    case VK_RIGHT: column = std::min(column + 1, rowCounts[row] - 1); break;
    case VK_UP:
    case VK_DOWN: {
        const int step = vk == VK_UP ? -1 : 1;
        for (int next = row + step; next >= 0 && next < cROWS; next += step) {
            if (rowCounts[next] > 0) {
                row = next;
                column = std::min(column, rowCounts[row] - 1);
                break;
            }
        }
        break;
    }
    default: break;
    }
    return {column, row};
}

bool PlayKey(HWND commandWindow, UINT vk)
{
    if (CurrentScreen() != SCREEN_PLAY)
        return false;
    switch (vk) {
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
        if (KeyboardPlays())
            Arrow(vk);
        return true;
    case VK_SPACE:
    case VK_RETURN:
        if (KeyboardPlays())
            Select();
        return true;
    default: break;
    }
    // The buttons' own commands: each is ignored where it makes no sense, as a tap would be.
    const struct {
        UINT key;
        int command;
    } letters[] = {{'A', IDC_ADD}, {'H', IDC_HINT}, {'P', IDC_PAUSE}, {'N', IDC_NEW}, {'M', IDC_MENU}};
    for (const auto& letter : letters) {
        if (vk == letter.key) {
            SendMessageW(commandWindow, WM_COMMAND, WPARAM(letter.command), 0);
            return true;
        }
    }
    return false;
}

POINT FocusSlot()
{
    return g_focus;
}

void RefreshFocus()
{
    if (!g_ring && g_focus.x < 0)
        return;
    if (!KeyboardPlays() || !g_ring) {
        RemoveRing();
        return;
    }
    int rowCounts[cROWS];
    CountTiles(rowCounts);
    g_focus = MoveFocus(g_focus, 0, rowCounts);
    const ANIMOBJECT* tile = FocusedTile();
    if (!tile) {
        RemoveRing();
        return;
    }
    RECT around = tile->rect;
    InflateRect(&around, kRingWidth, kRingWidth);
    if (!EqualRect(&around, &g_ring->rect)) {
        g_ring->Invalidate();
        g_ring->SetRect(around);
        g_ring->Invalidate();
    }
}
