#include "gdiobj.h"

#include "winbase.h"
#include "winerror.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace {

// GDI handles carry a tag in their high bits so they never look like another table's handles.
constexpr uintptr_t kHandleTag = uintptr_t{0x47} << 40;

struct ObjectTable {
    std::unordered_map<uintptr_t, std::unique_ptr<GdiObject>> objects;
    uintptr_t next = 1;
};

// Lives for the whole run: stock objects and cached fonts are never torn down.
ObjectTable& Table()
{
    static ObjectTable* table = new ObjectTable;
    return *table;
}

HGDIOBJ AddStock(std::unique_ptr<GdiObject> object)
{
    object->stock = true;
    return AddObject(std::move(object));
}

LOGFONTW StockFont(LONG height, LONG weight, const char* face)
{
    LOGFONTW lf{};
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfCharSet = DEFAULT_CHARSET;
    for (int i = 0; face[i] && i < LF_FACESIZE - 1; ++i)
        lf.lfFaceName[i] = WCHAR(face[i]);
    return lf;
}

struct StockObjects {
    HGDIOBJ objects[DEFAULT_GUI_FONT + 1] = {};
    HBITMAP defaultBitmap = nullptr;

    StockObjects()
    {
        const BYTE greys[] = {255, 192, 128, 64, 0};
        for (int i = WHITE_BRUSH; i <= BLACK_BRUSH; ++i)
            objects[i] = AddStock(std::make_unique<Brush>(BS_SOLID, RGB(greys[i], greys[i], greys[i])));
        objects[NULL_BRUSH] = AddStock(std::make_unique<Brush>(BS_NULL, 0));
        objects[WHITE_PEN] = AddStock(std::make_unique<Pen>(PS_SOLID, 1, RGB(255, 255, 255)));
        objects[BLACK_PEN] = AddStock(std::make_unique<Pen>(PS_SOLID, 1, RGB(0, 0, 0)));
        objects[NULL_PEN] = AddStock(std::make_unique<Pen>(PS_NULL, 1, 0));
        objects[SYSTEM_FONT] = AddStock(std::make_unique<Font>(StockFont(16, FW_BOLD, "System")));
        objects[DEFAULT_GUI_FONT] = AddStock(std::make_unique<Font>(StockFont(-11, FW_NORMAL, "MS Shell Dlg")));

        auto palette = std::make_unique<Palette>();
        const PALETTEENTRY* system = SystemPalette();
        palette->entries.assign(system, system + 10);
        palette->entries.insert(palette->entries.end(), system + 246, system + 256);
        objects[DEFAULT_PALETTE] = AddStock(std::move(palette));

        auto bitmap = std::make_unique<DibSection>();
        bitmap->width = bitmap->height = 1;
        bitmap->pitch = 4;
        bitmap->format.bitCount = 1;
        bitmap->format.table = {{0, 0, 0, 0}, {255, 255, 255, 0}};
        bitmap->header.biSize = sizeof(BITMAPINFOHEADER);
        bitmap->header.biWidth = bitmap->header.biHeight = 1;
        bitmap->header.biPlanes = bitmap->header.biBitCount = 1;
        bitmap->bits = static_cast<BYTE*>(std::calloc(1, 4));
        defaultBitmap = static_cast<HBITMAP>(AddStock(std::move(bitmap)));
    }
};

StockObjects& Stock()
{
    static StockObjects* stock = new StockObjects;
    return *stock;
}

template<class T> int CopyOut(const T& value, int cb, LPVOID pv)
{
    if (!pv)
        return sizeof(T);
    const int n = std::min<int>(cb, sizeof(T));
    std::memcpy(pv, &value, n);
    return n;
}

int BitmapObject(const DibSection& dib, int cb, LPVOID pv)
{
    BITMAP bm{};
    bm.bmWidth = dib.width;
    bm.bmHeight = dib.height;
    bm.bmWidthBytes = dib.pitch;
    bm.bmPlanes = 1;
    bm.bmBitsPixel = WORD(dib.format.bitCount);
    bm.bmBits = dib.bits;
    if (cb < int(sizeof(DIBSECTION)) || !pv)
        return CopyOut(bm, std::min<int>(cb, sizeof(BITMAP)), pv);
    DIBSECTION ds{};
    ds.dsBm = bm;
    ds.dsBmih = dib.header;
    std::memcpy(ds.dsBitfields, dib.format.masks, sizeof ds.dsBitfields);
    return CopyOut(ds, cb, pv);
}

} // namespace

DibSection::~DibSection()
{
    std::free(bits);
}

Surface DibSection::View() const
{
    Surface s;
    s.width = width;
    s.height = height;
    s.format = &format;
    s.top = topDown ? bits : bits + ptrdiff_t(pitch) * (height - 1);
    s.step = topDown ? pitch : -ptrdiff_t(pitch);
    return s;
}

std::recursive_mutex& GdiLock()
{
    static std::recursive_mutex* lock = new std::recursive_mutex;
    return *lock;
}

HGDIOBJ AddObject(std::unique_ptr<GdiObject> object)
{
    ObjectTable& table = Table();
    const uintptr_t handle = kHandleTag | table.next++ << 2;
    table.objects.emplace(handle, std::move(object));
    return reinterpret_cast<HGDIOBJ>(handle);
}

GdiObject* FindObject(HGDIOBJ handle)
{
    ObjectTable& table = Table();
    auto it = table.objects.find(reinterpret_cast<uintptr_t>(handle));
    return it == table.objects.end() ? nullptr : it->second.get();
}

void RemoveObject(HGDIOBJ handle)
{
    Table().objects.erase(reinterpret_cast<uintptr_t>(handle));
}

HBITMAP DefaultBitmap()
{
    return Stock().defaultBitmap;
}

bool IntersectRects(RECT& out, const RECT& a, const RECT& b)
{
    out.left = std::max(a.left, b.left);
    out.top = std::max(a.top, b.top);
    out.right = std::min(a.right, b.right);
    out.bottom = std::min(a.bottom, b.bottom);
    if (out.left >= out.right || out.top >= out.bottom) {
        out = {0, 0, 0, 0};
        return false;
    }
    return true;
}

HGDIOBJ GetStockObject(int object)
{
    GdiGuard guard(GdiLock());
    if (object < 0 || object > DEFAULT_GUI_FONT)
        return nullptr;
    return Stock().objects[object];
}

BOOL DeleteObject(HGDIOBJ handle)
{
    GdiGuard guard(GdiLock());
    GdiObject* object = FindObject(handle);
    if (!object || object->kind == GdiKind::DC) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (object->stock)
        return TRUE;
    // An object still selected into a DC stays alive: the DC would otherwise draw with freed memory.
    if (object->selections > 0)
        return FALSE;
    RemoveObject(handle);
    return TRUE;
}

int GetObjectW(HGDIOBJ handle, int cb, LPVOID pv)
{
    GdiGuard guard(GdiLock());
    GdiObject* object = FindObject(handle);
    if (!object || cb < 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    switch (object->kind) {
    case GdiKind::Bitmap: return BitmapObject(*static_cast<DibSection*>(object), cb, pv);
    case GdiKind::Brush: {
        const auto& brush = *static_cast<Brush*>(object);
        return CopyOut(LOGBRUSH{brush.style, brush.color, 0}, cb, pv);
    }
    case GdiKind::Pen: {
        const auto& pen = *static_cast<Pen*>(object);
        return CopyOut(LOGPEN{pen.style, {pen.width, 0}, pen.color}, cb, pv);
    }
    case GdiKind::Font: return CopyOut(static_cast<Font*>(object)->log, cb, pv);
    case GdiKind::Palette: return CopyOut(WORD(static_cast<Palette*>(object)->entries.size()), cb, pv);
    default: SetLastError(ERROR_INVALID_HANDLE); return 0;
    }
}
