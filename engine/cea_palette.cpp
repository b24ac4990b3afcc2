#include "cea_palette.h"

#include "cea_diagnostics.h"
#include "cea_display.h"
#include "cea_graphic.h"
#include "cea_sprite.h"
#include "memmgr.h"
#include "trace.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iterator>

namespace {

constexpr int kCacheSlots = 766; // one per possible red + green + blue
constexpr int kNearestCells = 4096;
constexpr size_t kNearestSize = 32768;

const BYTE kCubeRed[4] = {0, 128, 192, 255};
const BYTE kCubeLevels[8] = {0, 40, 80, 115, 160, 192, 225, 255};
// Where the sixteen classic colours sit in the cube; the other positions take the indices
// 16 to 255 in cube order.
const BYTE kClassicPositions[16] = {0, 64, 24, 88, 3, 67, 27, 173, 91, 192, 56, 248, 7, 199, 63, 254};

// Shared by every group for the life of the program.
BYTE* g_colorCache;
DWORD g_cShortages;

BYTE Red(COLORREF c)
{
    return BYTE(c);
}
BYTE Green(COLORREF c)
{
    return BYTE(c >> 8);
}
BYTE Blue(COLORREF c)
{
    return BYTE(c >> 16);
}

int Sum(BYTE r, BYTE g, BYTE b)
{
    return r + g + b;
}

COLORREF EntryColor(const PALETTEENTRY& e)
{
    return RGB(e.peRed, e.peGreen, e.peBlue);
}

DWORD CubePosition(BYTE red, BYTE green, BYTE blue)
{
    return DWORD(red & 0xC0) | DWORD(green >> 5) << 3 | DWORD(blue >> 5);
}

// The HSL of each 4-bit-per-channel colour, taken at the colour 16 * level + 4.
const HSL* CellHSL()
{
    static const auto table = [] {
        struct Table {
            HSL cells[kNearestCells];
        } t;
        for (int i = 0; i < kNearestCells; ++i)
            t.cells[i] = ColorToHSL(BYTE(((i >> 8) & 15) * 16 + 4), BYTE(((i >> 4) & 15) * 16 + 4), BYTE((i & 15) * 16 + 4));
        return t;
    }();
    return table.cells;
}

} // namespace

HSL ColorToHSL(BYTE red, BYTE green, BYTE blue)
{
    const int max = std::max({red, green, blue});
    const int min = std::min({red, green, blue});
    const int lightness = ((max + min) * 255 + 255) / 510;
    if (max == min)
        return {170, 0, BYTE(lightness)};
    const int delta = max - min;
    const int s = lightness <= 127 ? max + min : 510 - max - min;
    const int saturation = (delta * 255 + s / 2) / s;
    const int r = ((max - red) * 42 + delta / 2) / delta;
    const int g = ((max - green) * 42 + delta / 2) / delta;
    const int b = ((max - blue) * 42 + delta / 2) / delta;
    int hue = red == max ? b - g : green == max ? 85 + r - b : 170 + g - r;
    uint16_t h = uint16_t(hue);
    if (h >= 256)
        h = uint16_t(h - 255);
    return {BYTE(h), BYTE(saturation), BYTE(lightness)};
}

BYTE ColorCubeIndex(DWORD position)
{
    static const auto table = [] {
        struct Table {
            BYTE index[256];
        } t;
        bool classic[256] = {};
        for (int i = 0; i < 16; ++i) {
            t.index[kClassicPositions[i]] = BYTE(i);
            classic[kClassicPositions[i]] = true;
        }
        int next = 16;
        for (int p = 0; p < 256; ++p) {
            if (!classic[p])
                t.index[p] = BYTE(next++);
        }
        return t;
    }();
    return table.index[position & 255];
}

PaletteGroup::PaletteGroup()
{
    if (!g_colorCache) {
        g_colorCache = static_cast<BYTE*>(MEM_ALLOC(kCacheSlots, "766"));
        if (g_colorCache) {
            std::memset(g_colorCache, 0, kCacheSlots);
            MEM_TARE(g_colorCache);
        }
    }
    items = nullptr;
    cItems = 0;
    palette = nullptr;
    std::memset(entries, 0, sizeof entries);
    openCount = 0;
    colourCube = 0;
    nearest = nullptr;
    Open();
    if (GetDisplay().bitsPerPixel == 4) {
        Add(kSystemColorsMarker, 0);
    } else {
        AddSpecific(0, RGB(0, 0, 0));
        AddSpecific(255, RGB(255, 255, 255));
    }
    Close();
}

PaletteGroup::~PaletteGroup()
{
    if (openCount) {
        Trace("Warning: PaletteGroup 0x%08lX destroyed while open", Address(this));
        openCount = 0;
    }
    for (int i = 0; i < cItems; ++i) {
        if (items[i].used && items[i].isGraphic && items[i].graphic->valid)
            items[i].graphic->SetPaletteGroup(nullptr);
    }
    MEM_FREE(items);
    if (palette)
        DeleteObject(palette);
    MEM_FREE(nearest);
    if (GetDisplay().paletteGroup == this)
        GetDisplay().paletteGroup = nullptr;
}

bool PaletteGroup::CheckOpen(const char* format, const void* subject) const
{
    if (openCount)
        return true;
    if (subject)
        Trace(format, Address(subject), Address(this));
    else
        Trace(format, Address(this));
    return false;
}

bool PaletteGroup::Open()
{
    if (openCount == 0) {
        for (int i = 0; i < cItems; ++i) {
            const ITEM& item = items[i];
            if (item.used && item.isGraphic && item.graphic->valid && item.graphic->m.NotChild.dcCount) {
                Trace("PaletteGroup 0x%08lX could not be opened because of graphic 0x%08lX", Address(this), Address(item.graphic));
                return false;
            }
        }
    }
    ++openCount;
    return true;
}

void PaletteGroup::Close()
{
    if (openCount == 0)
        return;
    if (--openCount == 0)
        Merge();
}

PaletteGroup::ITEM* PaletteGroup::NewItem()
{
    for (int i = 0; i < cItems; ++i) {
        if (!items[i].used) {
            items[i] = {};
            items[i].used = 1;
            items[i].index = kNoIndex;
            return &items[i];
        }
    }
    const int i = cItems;
    if (!MEM_GROW_ARRAY(&items, &cItems, i + 1, 16))
        return nullptr;
    items[i] = {};
    items[i].used = 1;
    items[i].index = kNoIndex;
    return &items[i];
}

PaletteGroup::ITEM* PaletteGroup::FindGraphic(const Graphic* graphic)
{
    for (int i = 0; i < cItems; ++i) {
        if (items[i].used && items[i].isGraphic && items[i].graphic == graphic)
            return &items[i];
    }
    return nullptr;
}

void PaletteGroup::Add(Graphic* graphic, bool keepIndices)
{
    if (!CheckOpen("Add (Graphic 0x%08lX) called for closed PaletteGroup 0x%08lX", graphic))
        return;
    if (!graphic || !graphic->valid)
        return;
    graphic = graphic->Root();
    if (graphic->GetBitCount() > 8 || FindGraphic(graphic))
        return;
    ITEM* item = NewItem();
    if (!item)
        return;
    item->isGraphic = 1;
    item->keepIndices = keepIndices;
    item->graphic = graphic;
    graphic->SetPaletteGroup(this);
}

void PaletteGroup::Remove(Graphic* graphic)
{
    if (!graphic)
        return;
    graphic = graphic->Root();
    if (ITEM* item = FindGraphic(graphic)) {
        *item = {};
        graphic->SetPaletteGroup(nullptr);
    }
}

void PaletteGroup::Add(Sprite* sprite)
{
    if (!CheckOpen("Add (Sprite 0x%08lX) called for closed PaletteGroup 0x%08lX", sprite) || !sprite)
        return;
    while (sprite->IsChild() && sprite->GetParent())
        sprite = sprite->GetParent();
    for (int i = 0; Graphic* frame = sprite->Frame(i); ++i)
        Add(frame);
}

void PaletteGroup::Remove(Sprite* sprite)
{
    if (!sprite)
        return;
    while (sprite->IsChild() && sprite->GetParent())
        sprite = sprite->GetParent();
    for (int i = 0; Graphic* frame = sprite->Frame(i); ++i)
        Remove(frame);
}

void PaletteGroup::AddSpecific(DWORD index, COLORREF color)
{
    if (!openCount) {
        Trace("AddSpecific (%lu) called for closed PaletteGroup 0x%08lX", static_cast<unsigned long>(index), Address(this));
        return;
    }
    for (int i = 0; i < cItems; ++i) {
        ITEM& item = items[i];
        if (!item.used || item.isGraphic)
            continue;
        if (item.specific && item.index == index)
            return;
        if (item.color == color) {
            item.specific = 1;
            return;
        }
    }
    if (ITEM* item = NewItem()) {
        item->specific = 1;
        item->index = index;
        item->color = color;
    }
}

void PaletteGroup::AddSpecific(DWORD index, const PALETTEENTRY* entry)
{
    if (entry == kSystemColorsMarker || entry == kColorCubeMarker) {
        Add(entry, 0);
        return;
    }
    if (!openCount) {
        Trace("AddSpecific (%lu,pe) called for closed PaletteGroup 0x%08lX", static_cast<unsigned long>(index), Address(this));
        return;
    }
    if (entry)
        Add(EntryColor(*entry));
}

void PaletteGroup::RemoveSpecific(DWORD index)
{
    if (!openCount) {
        Trace("RemoveSpecific(%lu) called for closed PaletteGroup 0x%08lX", static_cast<unsigned long>(index), Address(this));
        return;
    }
    for (int i = 0; i < cItems; ++i) {
        if (items[i].used && !items[i].isGraphic && items[i].specific && items[i].index == index)
            items[i] = {};
    }
}

void PaletteGroup::Add(COLORREF color)
{
    if (!CheckOpen("Add (Color) called for closed PaletteGroup 0x%08lX", nullptr))
        return;
    for (int i = 0; i < cItems; ++i) {
        if (items[i].used && !items[i].isGraphic && items[i].color == color)
            return;
    }
    if (ITEM* item = NewItem())
        item->color = color;
}

void PaletteGroup::Remove(COLORREF color)
{
    if (!CheckOpen("Remove (Color) called for closed PaletteGroup 0x%08lX", nullptr))
        return;
    for (int i = 0; i < cItems; ++i) {
        if (items[i].used && !items[i].isGraphic && items[i].color == color)
            items[i] = {};
    }
}

void PaletteGroup::Add(const PALETTEENTRY* list, DWORD count)
{
    if (!CheckOpen("Add (PaletteEntry) called for closed PaletteGroup 0x%08lX", nullptr))
        return;
    if (list == kSystemColorsMarker) {
        const int depth = GetDisplay().bitsPerPixel;
        if (depth > 8 || depth < 1)
            return;
        const int cSystem = 1 << depth;
        PALETTEENTRY system[256] = {};
        if (HDC hdc = CreateCompatibleDC(nullptr)) {
            GetSystemPaletteEntries(hdc, 0, UINT(cSystem), system);
            DeleteDC(hdc);
        }
        for (int i = 1; i < cSystem - 1; ++i) {
            if (cSystem <= 16 || i <= 9 || i >= 246)
                Add(EntryColor(system[i]));
        }
        return;
    }
    if (list == kColorCubeMarker) {
        for (DWORD p = 0; p < 256; ++p)
            AddSpecific(ColorCubeIndex(p), RGB(kCubeRed[p >> 6], kCubeLevels[(p >> 3) & 7], kCubeLevels[p & 7]));
        colourCube = 1;
        return;
    }
    for (DWORD i = 0; list && i < count; ++i)
        Add(EntryColor(list[i]));
}

void PaletteGroup::Remove(const PALETTEENTRY* list, DWORD count)
{
    if (!CheckOpen("Remove (PaletteEntry) called for closed PaletteGroup 0x%08lX", nullptr))
        return;
    if (list == kSystemColorsMarker || list == kColorCubeMarker) {
        for (int i = 0; i < cItems; ++i) {
            if (items[i].used && !items[i].isGraphic && items[i].specific)
                items[i] = {};
        }
        colourCube = 0;
        return;
    }
    for (DWORD i = 0; list && i < count; ++i)
        Remove(EntryColor(list[i]));
}

COLORREF PaletteGroup::GetPaletteColor(DWORD index) const
{
    if (openCount || index >= 256)
        return kNoColor;
    return EntryColor(entries[index]);
}

DWORD PaletteGroup::FindColor(COLORREF color) const
{
    if (openCount)
        return kNoColor;
    const BYTE r = Red(color), g = Green(color), b = Blue(color);
    if (g_colorCache) {
        const BYTE cached = g_colorCache[Sum(r, g, b)];
        if (EntryColor(entries[cached]) == (color & 0xFFFFFF))
            return cached;
    }
    for (DWORD i = 0; i < 256; ++i) {
        if (EntryColor(entries[i]) == (color & 0xFFFFFF)) {
            if (g_colorCache)
                g_colorCache[Sum(r, g, b)] = BYTE(i);
            return i;
        }
    }
    return kNoColor;
}

bool PaletteGroup::GetPaletteEntries(PALETTEENTRY* out, UINT first, UINT count) const
{
    if (openCount || first >= 256)
        return false;
    std::memcpy(out, entries + first, sizeof(PALETTEENTRY) * std::min(count, 256 - first));
    return true;
}

HPALETTE PaletteGroup::GetPalette()
{
    if (GetDisplay().bitsPerPixel > 8 || openCount)
        return nullptr;
    if (!palette) {
        struct {
            WORD palVersion;
            WORD palNumEntries;
            PALETTEENTRY palPalEntry[256];
        } logical = {0x300, 256, {}};
        for (int i = 0; i < 256; ++i)
            logical.palPalEntry[i] = {entries[i].peRed, entries[i].peGreen, entries[i].peBlue, 0};
        palette = CreatePalette(reinterpret_cast<const LOGPALETTE*>(&logical));
        if (HDC screen = ::GetDC(nullptr)) {
            SelectPalette(screen, palette, FALSE);
            RealizePalette(screen);
            ::ReleaseDC(nullptr, screen);
        }
    }
    return palette;
}

DWORD PaletteGroup::Allocate(DWORD index, COLORREF color)
{
    const BYTE r = Red(color), g = Green(color), b = Blue(color);
    DWORD found = kNoIndex;
    if (index < 256) {
        entries[index] = {r, g, b, 0};
        found = index;
    } else if (colourCube) {
        found = ColorCubeIndex(CubePosition(r, g, b));
    } else {
        const BYTE cached = g_colorCache ? g_colorCache[Sum(r, g, b)] : 0;
        const PALETTEENTRY& e = entries[cached];
        if (e.peRed == r && e.peGreen == g && e.peBlue == b)
            found = cached;
        for (DWORD i = 0; i < 256 && found == kNoIndex; ++i) {
            if (entries[i].peRed == r && entries[i].peGreen == g && entries[i].peBlue == b)
                found = i;
        }
        for (DWORD i = 1; i < 255 && found == kNoIndex; ++i) {
            if (!entries[i].peRed && !entries[i].peGreen && !entries[i].peBlue) {
                entries[i] = {r, g, b, 0};
                found = i;
            }
        }
        if (found == kNoIndex) {
            if (g_cShortages++ == 0)
                Trace("Out of colors when merging graphic into palette");
            return kNoIndex;
        }
    }
    if (g_colorCache) {
        const PALETTEENTRY& e = entries[found];
        g_colorCache[Sum(e.peRed, e.peGreen, e.peBlue)] = BYTE(found);
    }
    return found;
}

void PaletteGroup::Remap(Graphic* graphic)
{
    DWORD map[256];
    std::fill(std::begin(map), std::end(map), kNoIndex);
    const DWORD valueMask = graphic->m.NotChild.valueMask;
    if (graphic->IsTransparent()) {
        const DWORD key = graphic->ColorToValue(graphic->GetTransparency()) & 255;
        map[key] = Allocate(kNoIndex, graphic->GetPaletteColor(key));
    }
    const int cx = graphic->GetWidth();
    const int cy = graphic->GetHeight();
    for (int y = 0; y < cy; ++y) {
        for (int x = 0; x < cx; ++x) {
            const DWORD v = graphic->GetPixelValue(x, y) & 255;
            if (map[v] == kNoIndex)
                map[v] = Allocate(kNoIndex, graphic->GetPaletteColor(v));
            if (map[v] != kNoIndex)
                graphic->SetPixelValue(x, y, map[v] & valueMask);
        }
    }
}

void PaletteGroup::Merge()
{
    std::memset(entries, 0, sizeof entries);
    for (int i = 0; i < cItems; ++i) {
        if (items[i].used && !items[i].isGraphic && items[i].specific)
            Allocate(items[i].index, items[i].color);
    }
    if (!colourCube) {
        for (int i = 0; i < cItems; ++i) {
            if (items[i].used && !items[i].isGraphic && !items[i].specific)
                Allocate(kNoIndex, items[i].color);
        }
    }
    for (int i = 0; i < cItems; ++i) {
        if (items[i].used && items[i].isGraphic && !items[i].keepIndices && items[i].graphic->HasBitmap())
            Remap(items[i].graphic);
    }
    for (int i = 0; i < cItems; ++i) {
        if (items[i].used && items[i].isGraphic && items[i].graphic->HasBitmap())
            items[i].graphic->SetPaletteEntries(entries, 0, 256);
    }
    if (palette) {
        DeleteObject(palette);
        palette = nullptr;
    }
}

bool PaletteGroup::BuildNearestTable()
{
    if (colourCube)
        return false;
    if (!nearest) {
        nearest = static_cast<BYTE*>(MEM_ALLOC(kNearestSize, "32768"));
        if (!nearest)
            return false;
        std::memset(nearest, 0, kNearestSize);
    }
    const HSL* cells = CellHSL();
    int best[kNearestCells];
    std::fill(std::begin(best), std::end(best), INT32_MAX);
    for (int i = 0; i < 256; ++i) {
        const HSL e = ColorToHSL(entries[i].peRed, entries[i].peGreen, entries[i].peBlue);
        for (int c = 0; c < kNearestCells; ++c) {
            const int d = 2 * std::abs(int(e.hue) - cells[c].hue) + std::abs(int(e.saturation) - cells[c].saturation)
                          + 3 * std::abs(int(e.lightness) - cells[c].lightness);
            if (d < best[c]) {
                best[c] = d;
                nearest[c] = BYTE(i);
            }
        }
    }
    return true;
}

DWORD PaletteGroup::BlendIndex(BYTE red, BYTE green, BYTE blue) const
{
    if (colourCube)
        return ColorCubeIndex(DWORD(red >> 6) << 6 | DWORD(green >> 5) << 3 | DWORD(blue >> 5));
    if (!nearest)
        return kNoIndex;
    auto cell = [](BYTE c) { return std::min(15u, (unsigned(c) + 8) >> 4); };
    return nearest[cell(red) << 8 | cell(green) << 4 | cell(blue)];
}
