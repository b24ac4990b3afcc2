// Tile objects and the drawing of a tile.
#include "tile.h"

#include "cea_graphic.h"
#include "cea_object.h"
#include "memmgr.h"

#include <iterator>

TILEART g_tileArt;

namespace {

enum : int {
    kPieceSlot = 0,
    kColumnSlot = 1,
    kRowSlot = 2,
};
constexpr int kHighlightColumns = 3;
constexpr int kInsetColumns = 6;

// The sizes are taken from the art on the first draw after it changed.
struct TILEMEASURE {
    const Graphic* face;
    const Graphic* inset;
    SIZE tile;
    SIZE insetSize;
};
TILEMEASURE g_measure;

void Measure()
{
    Graphic* face = g_tileArt.rgFaces[0];
    Graphic* inset = g_tileArt.rgInsets[0];
    if (g_measure.face == face && g_measure.inset == inset)
        return;
    g_measure.face = face;
    g_measure.inset = inset;
    g_measure.tile = face ? SIZE{face->GetWidth(), face->GetHeight()} : SIZE{0, 0};
    g_measure.insetSize = inset ? SIZE{inset->GetWidth(), inset->GetHeight()} : SIZE{0, 0};
}

bool OnBoard(int column, int row)
{
    return column >= 0 && column < cCOLUMNS && row >= 0 && row < cROWS;
}

void DrawTile(const ANIMOBJECT* object, const ANIMDRAW& draw)
{
    const PIECE* piece = TileOf(object);
    if (!piece)
        return;
    Measure();
    const RECT& r = object->rect;
    // A paused game hides the board, not the tutorial's samples.
    const bool fBack = g_game.fPaused && OnBoard(TileColumn(object), TileRow(object));
    const bool fSelected = piece->fSelected != 0;
    DrawImageAt(draw, g_tileArt.rgFaces[fBack ? 2 : fSelected ? 1 : 0], r.left, r.top);
    if (fBack)
        return;
    const int row = int(piece->iShape) * 3 + int(piece->iShading);
    const int column = int(piece->iColor) + (fSelected ? kHighlightColumns : 0);
    const int cell = row * kInsetColumns + column;
    if (cell < 0 || cell >= int(std::size(g_tileArt.rgInsets)))
        return;
    const int n = int(piece->iNumber) + 1;
    const int s = g_tileArt.cyInsetsSpacing;
    const int w = g_measure.insetSize.cx;
    const int h = g_measure.insetSize.cy;
    // Unselected images sit one pixel up and left, so a selected tile's look pressed in.
    const int shift = fSelected ? 0 : 1;
    const int x = r.left + (g_measure.tile.cx - w) / 2 - shift;
    int y = r.top + (g_measure.tile.cy - n * h - (n - 1) * s) / 2 - shift;
    for (int i = 0; i < n; ++i, y += h + s)
        DrawImageAt(draw, g_tileArt.rgInsets[cell], x, y);
}

} // namespace

ANIMOBJECT* CreateTileObject(AnimWindow* window, const PIECE& piece, int column, int row)
{
    auto* copy = static_cast<PIECE*>(MEM_ALLOC(sizeof(PIECE), "PIECE"));
    if (!copy)
        return nullptr;
    *copy = piece;
    ANIMOBJECT* object = ANIMOBJECT::Create(window, TileProc, iTILE_LAYER);
    if (!object || !object->SetData(kPieceSlot, reinterpret_cast<UINT_PTR>(copy))) {
        if (object)
            object->Destroy();
        MEM_FREE(copy);
        return nullptr;
    }
    SetTileSlot(object, column, row);
    // The face gives the object its size; the callback does the drawing.
    object->SetGraphic(g_tileArt.rgFaces[0], FALSE);
    return object;
}

PIECE* TileOf(const ANIMOBJECT* object)
{
    if (!object || object->callback != TileProc)
        return nullptr;
    return reinterpret_cast<PIECE*>(object->GetData(kPieceSlot));
}

int TileColumn(const ANIMOBJECT* object)
{
    return TileOf(object) ? int(INT_PTR(object->GetData(kColumnSlot))) : -1;
}

int TileRow(const ANIMOBJECT* object)
{
    return TileOf(object) ? int(INT_PTR(object->GetData(kRowSlot))) : -1;
}

void SetTileSlot(ANIMOBJECT* object, int column, int row)
{
    object->SetData(kColumnSlot, UINT_PTR(INT_PTR(column)));
    object->SetData(kRowSlot, UINT_PTR(INT_PTR(row)));
}

void SetTileSelected(ANIMOBJECT* object, bool fSelected)
{
    PIECE* piece = TileOf(object);
    if (!piece)
        return;
    piece->fSelected = fSelected;
    const int column = TileColumn(object);
    const int row = TileRow(object);
    if (OnBoard(column, row) && g_game.rgBoard[row][column].pObject == object)
        g_game.rgBoard[row][column].fSelected = fSelected;
    object->Invalidate();
}

LRESULT TileProc(ANIMOBJECT* object, UINT message, void* data)
{
    switch (message) {
    case kObjDestroying: {
        PIECE* piece = TileOf(object);
        const int column = TileColumn(object);
        const int row = TileRow(object);
        if (OnBoard(column, row) && g_game.rgBoard[row][column].pObject == object)
            g_game.rgBoard[row][column].pObject = nullptr;
        object->SetData(kPieceSlot, 0);
        MEM_FREE(piece);
        return 1;
    }
    case kObjDraw: DrawTile(object, *static_cast<ANIMDRAW*>(data)); return 1;
    default: return 1;
    }
}
