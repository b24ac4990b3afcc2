#include "cea_graphic.h"

#include "cea_diagnostics.h"
#include "cea_display.h"
#include "cea_palette.h"
#include "cea_psp.h"
#include "little_endian.h"
#include "memmgr.h"
#include "trace.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

constexpr char kPspSignature[] = "Paint Shop Pro Image File";
constexpr DWORD kPspSignatureLength = 25;
constexpr DWORD kFileHeaderSize = 14;
constexpr DWORD kInfoHeaderSize = 40;

DWORD ValueMaskOf(int bitCount)
{
    return bitCount >= 32 ? 0xFFFFFFFF : (DWORD(1) << bitCount) - 1;
}

// A bitmap information header followed by room for a full colour table or three masks.
struct BITMAPINFO256 {
    BITMAPINFOHEADER header;
    union {
        RGBQUAD colors[256];
        DWORD masks[3];
    };
};

// The masks of 16- and 32-bit sections. 32-bit pixels are 0x00RRGGBB, as the pixel code
// reads them, so the platform's blits see the same colours the engine does.
void SetMasks(BITMAPINFO256& info, int bitCount)
{
    info.header.biCompression = BI_BITFIELDS;
    info.header.biClrUsed = 0;
    if (bitCount == 16 && GetDisplay().f555) {
        info.masks[0] = 0x7C00;
        info.masks[1] = 0x03E0;
        info.masks[2] = 0x001F;
    } else if (bitCount == 16) {
        info.masks[0] = 0xF800;
        info.masks[1] = 0x07E0;
        info.masks[2] = 0x001F;
    } else {
        info.masks[0] = 0xFF0000;
        info.masks[1] = 0x00FF00;
        info.masks[2] = 0x0000FF;
    }
}

bool IsSupportedDepth(int bitCount)
{
    switch (bitCount) {
    case 1:
    case 2:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32: return true;
    default: return false;
    }
}

void SystemColors(RGBQUAD* colors, int count)
{
    PALETTEENTRY entries[256] = {};
    if (HDC hdc = CreateCompatibleDC(nullptr)) {
        GetSystemPaletteEntries(hdc, 0, UINT(count), entries);
        DeleteDC(hdc);
    }
    for (int i = 0; i < count; ++i)
        colors[i] = {entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0};
}

} // namespace

// Construction

Graphic::Graphic(const void* data, DWORD cb, FrameList* frames, COLORREF transparency)
{
    Clear();
    LoadFromMemory(static_cast<const BYTE*>(data), cb, frames, transparency);
}

Graphic::Graphic(int cx, int cy, int bitCount, const RGBQUAD* palette)
{
    Clear();
    Create(cx, cy, bitCount, palette);
}

Graphic::Graphic(int cx, int cy, int bitCount, PaletteGroup* group)
{
    Clear();
    RGBQUAD palette[256];
    const RGBQUAD* table = nullptr;
    PALETTEENTRY entries[256];
    if (bitCount > 0 && bitCount <= 8 && group && group->GetPaletteEntries(entries, 0, 1u << bitCount)) {
        for (int i = 0; i < (1 << bitCount); ++i)
            palette[i] = {entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0};
        table = palette;
    }
    Create(cx, cy, bitCount, table);
    if (group && group->Open()) {
        group->Add(this, true);
        group->Close();
    }
}

Graphic::Graphic(Graphic* parent, const RECT* rect)
{
    Clear();
    isChild = 1;
    m.Child.parent = parent;
    if (!parent || !parent->valid)
        return;
    const RECT whole = parent->GetRect();
    RECT r = rect ? *rect : whole;
    // A view never reaches outside its parent.
    r.left = std::clamp(r.left, whole.left, whole.right);
    r.right = std::clamp(r.right, r.left, whole.right);
    r.top = std::clamp(r.top, whole.top, whole.bottom);
    r.bottom = std::clamp(r.bottom, r.top, whole.bottom);
    m.Child.rect = r;
    Root()->AddChild(this);
}

Graphic::~Graphic()
{
    if (valid)
        Destroy();
}

void Graphic::Clear()
{
    std::memset(static_cast<void*>(this), 0, sizeof *this);
    valid = 1;
    m.NotChild.transparency = kNoColor;
    m.NotChild.runsKey = kNoColor;
}

bool Graphic::Check(const char* function) const
{
    if (valid)
        return true;
    Trace("Graphic::%s called on invalid graphic (0x%08lX)", function, Address(this));
    return false;
}

void Graphic::LoadFromMemory(const BYTE* data, DWORD cb, FrameList* frames, COLORREF transparency)
{
    if (cb > kPspSignatureLength && std::memcmp(data, kPspSignature, kPspSignatureLength) == 0) {
        if (!ReadPspImage(this, frames, data, cb, transparency) && m.NotChild.bitmap) {
            // A file that did not deliver every colour plane leaves no half-drawn picture.
            FreeTranslucency();
            DeleteObject(m.NotChild.bitmap);
            m.NotChild.bitmap = nullptr;
            m.NotChild.bits = nullptr;
        }
        return;
    }
    LoadBitmap(data, cb, transparency);
}

void Graphic::LoadBitmap(const BYTE* data, DWORD cb, COLORREF transparency)
{
    if (cb < kFileHeaderSize)
        return;
    if (data[0] == 'B' && data[1] == 'M') {
        data += kFileHeaderSize;
        cb -= kFileHeaderSize;
    }
    if (cb < kInfoHeaderSize)
        return;
    BITMAPINFO256 info = {};
    std::memcpy(&info.header, data, kInfoHeaderSize);
    info.header.biSize = kInfoHeaderSize;
    const int bitCount = BitCountOf(info.header);
    const LONG cx = info.header.biWidth;
    const LONG cy = info.header.biHeight;
    if (!IsSupportedDepth(bitCount) || cx <= 0 || cy == 0 || cy == INT32_MIN)
        return;
    const bool bottomUp = cy > 0;
    const DWORD cRows = DWORD(bottomUp ? cy : -cy);
    info.header.biHeight = -LONG(cRows);
    info.header.biPlanes = 1;
    info.header.biBitCount = WORD(bitCount);

    DWORD cbTable = 0;
    if (bitCount <= 8) {
        cbTable = 4u << bitCount;
        // A table cut short by the end of the data keeps black for the rest.
        std::memcpy(info.colors, data + kInfoHeaderSize, std::min(cbTable, cb - kInfoHeaderSize));
        info.header.biCompression = BI_RGB;
        info.header.biClrUsed = 1u << bitCount;
    } else if (bitCount == 16 || bitCount == 32) {
        SetMasks(info, bitCount);
    } else {
        info.header.biCompression = BI_RGB;
    }
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap)
        return;
    NOTCHILD& n = m.NotChild;
    n.bitmap = bitmap;
    n.bits = static_cast<BYTE*>(bits);
    n.rect = {0, 0, cx, LONG(cRows)};
    n.bitCount = bitCount;
    if (bitCount <= 8)
        std::memcpy(n.palette, info.colors, cbTable);
    n.cbPitch = PitchOf(cx, bitCount);
    n.valueMask = ValueMaskOf(bitCount);

    const uint64_t cbPixels = uint64_t(n.cbPitch) * cRows;
    const uint64_t offset = uint64_t(kInfoHeaderSize) + cbTable;
    if (offset <= cb && cb - offset >= cbPixels) {
        std::memcpy(n.bits, data + offset, size_t(cbPixels));
        if (bottomUp) {
            BYTE* row = static_cast<BYTE*>(MEM_ALLOC(n.cbPitch, "m.NotChild.cbPitch"));
            for (DWORD top = 0, bottom = cRows - 1; row && top < bottom; ++top, --bottom) {
                BYTE* a = n.bits + size_t(top) * n.cbPitch;
                BYTE* b = n.bits + size_t(bottom) * n.cbPitch;
                std::memcpy(row, a, n.cbPitch);
                std::memcpy(a, b, n.cbPitch);
                std::memcpy(b, row, n.cbPitch);
            }
            MEM_FREE(row);
        }
    }
    n.transparency = transparency;
}

bool Graphic::Create(int cx, int cy, int bitCount, const RGBQUAD* palette)
{
    if (bitCount == 0)
        bitCount = GetDisplay().bitsPerPixel;
    // A view has no bitmap of its own, and a bitmap is never made twice over the same one.
    if (isChild || m.NotChild.bitmap || !IsSupportedDepth(bitCount) || cx <= 0 || cy <= 0)
        return false;
    NOTCHILD& n = m.NotChild;
    const DWORD cbPitch = PitchOf(cx, bitCount);
    BITMAPINFO256 info = {};
    info.header.biSize = kInfoHeaderSize;
    info.header.biWidth = cx;
    info.header.biHeight = -cy;
    info.header.biPlanes = 1;
    info.header.biBitCount = WORD(bitCount);
    info.header.biSizeImage = cbPitch * DWORD(cy);
    if (bitCount <= 8) {
        const int cColors = 1 << bitCount;
        info.header.biClrUsed = DWORD(cColors);
        if (palette)
            std::memcpy(info.colors, palette, sizeof(RGBQUAD) * size_t(cColors));
        else if (bitCount == 1)
            info.colors[1] = {255, 255, 255, 0};
        else
            SystemColors(info.colors, cColors);
    } else if (bitCount == 16 || bitCount == 32) {
        SetMasks(info, bitCount);
    }
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap)
        return false;
    n.bitmap = bitmap;
    n.bits = static_cast<BYTE*>(bits);
    n.rect = {0, 0, cx, cy};
    n.bitCount = bitCount;
    if (bitCount <= 8)
        std::memcpy(n.palette, info.colors, sizeof(RGBQUAD) << bitCount);
    n.cbPitch = cbPitch;
    n.valueMask = ValueMaskOf(bitCount);
    return true;
}

void Graphic::Destroy()
{
    if (!valid) {
        Trace("Graphic 0x%08lX destroyed twice", Address(this));
        return;
    }
    if (isChild) {
        Graphic* parent = m.Child.parent;
        if (parent && parent->valid) {
            // Every view is listed at the root; the views onto this one would otherwise be left
            // reaching the root through it once it is gone.
            NOTCHILD& r = Root()->m.NotChild;
            for (int i = 0; i < r.cChildren; ++i) {
                Graphic* child = r.children[i];
                if (!child || child->m.Child.parent != this)
                    continue;
                Trace("Warning: freeing child graphic 0x%08lX when parent 0x%08lX destroyed", Address(child), Address(this));
                child->Destroy();
            }
            parent->Root()->RemoveChild(this);
        }
        valid = 0;
        return;
    }
    NOTCHILD& n = m.NotChild;
    for (int i = 0; i < n.cChildren; ++i) {
        Graphic* child = n.children[i];
        if (!child)
            continue;
        n.children[i] = nullptr;
        Trace("Warning: freeing child graphic 0x%08lX when parent 0x%08lX destroyed", Address(child), Address(this));
        child->Destroy();
    }
    MEM_FREE(n.children);
    n.children = nullptr;
    n.cChildren = 0;
    if (n.paletteGroup)
        n.paletteGroup->Remove(this);
    FreeTranslucency();
    FreeRuns();
    if (n.dcCount) {
        Trace("Warning: freeing graphic 0x%08lX while HDC still open", Address(this));
        SelectObject(n.dc, n.oldBitmap);
        DeleteDC(n.dc);
        n.dc = nullptr;
        n.dcCount = 0;
    }
    if (n.bitmap)
        DeleteObject(n.bitmap);
    n.bitmap = nullptr;
    n.bits = nullptr;
    MEM_FREE(n.selection);
    n.selection = nullptr;
    valid = 0;
}

void Graphic::AddChild(Graphic* child)
{
    NOTCHILD& n = m.NotChild;
    for (int i = 0; i < n.cChildren; ++i) {
        if (!n.children[i]) {
            n.children[i] = child;
            return;
        }
    }
    const int i = n.cChildren;
    if (MEM_GROW_ARRAY(&n.children, &n.cChildren, i + 1, 16))
        n.children[i] = child;
}

void Graphic::RemoveChild(Graphic* child)
{
    NOTCHILD& n = m.NotChild;
    for (int i = 0; i < n.cChildren; ++i) {
        if (n.children[i] == child)
            n.children[i] = nullptr;
    }
}

// Views and sizes

Graphic* Graphic::Root()
{
    Graphic* g = this;
    while (g->isChild && g->m.Child.parent)
        g = g->m.Child.parent;
    return g;
}

const Graphic* Graphic::Root() const
{
    return const_cast<Graphic*>(this)->Root();
}

POINT Graphic::OffsetInRoot() const
{
    POINT offset = {0, 0};
    for (const Graphic* g = this; g->isChild && g->m.Child.parent; g = g->m.Child.parent) {
        offset.x += g->m.Child.rect.left;
        offset.y += g->m.Child.rect.top;
    }
    return offset;
}

bool Graphic::IsChild() const
{
    return Check(__func__) && isChild;
}

Graphic* Graphic::GetParent() const
{
    if (!Check(__func__))
        return nullptr;
    if (!isChild) {
        Trace("Graphic::%s called on non-child graphic (0x%08lX)", __func__, Address(this));
        return nullptr;
    }
    return m.Child.parent;
}

RECT Graphic::GetRectInParent() const
{
    if (!Check(__func__))
        return {};
    if (!isChild) {
        Trace("Graphic::%s called on non-child graphic (0x%08lX)", __func__, Address(this));
        return {};
    }
    return m.Child.rect;
}

RECT Graphic::GetRect() const
{
    if (!Check(__func__))
        return {};
    return {0, 0, GetWidth(), GetHeight()};
}

int Graphic::GetWidth() const
{
    if (!Check(__func__))
        return 0;
    return isChild ? m.Child.rect.right - m.Child.rect.left : m.NotChild.rect.right;
}

int Graphic::GetHeight() const
{
    if (!Check(__func__))
        return 0;
    return isChild ? m.Child.rect.bottom - m.Child.rect.top : m.NotChild.rect.bottom;
}

int Graphic::GetBitCount() const
{
    if (!Check(__func__))
        return 0;
    return Root()->m.NotChild.bitCount;
}

bool Graphic::HasBitmap() const
{
    const Graphic* root = Root();
    return valid && root->valid && !root->isChild && root->m.NotChild.bitmap;
}

// Transparency, translucency, selection

COLORREF Graphic::GetTransparency() const
{
    if (!Check(__func__))
        return kNoColor;
    return Root()->m.NotChild.transparency;
}

void Graphic::SetTransparency(COLORREF color)
{
    if (Check(__func__))
        Root()->m.NotChild.transparency = color;
}

bool Graphic::IsTranslucent() const
{
    return Check(__func__) && Root()->m.NotChild.translucency.type != kOpaque;
}

const TRANSLUCENCY* Graphic::GetTranslucency() const
{
    if (!Check(__func__))
        return nullptr;
    return &Root()->m.NotChild.translucency;
}

void Graphic::FreeTranslucency()
{
    TRANSLUCENCY& t = m.NotChild.translucency;
    MEM_FREE(t.opacity);
    t = {};
}

bool Graphic::SetTranslucency(DWORD type, BYTE defaultOpacity)
{
    if (!Check(__func__))
        return false;
    Graphic* root = Root();
    TRANSLUCENCY& t = root->m.NotChild.translucency;
    if (t.type == type && t.defaultOpacity == defaultOpacity)
        return true;
    if (type > kOpacityMap)
        return false;
    root->FreeTranslucency();
    t.type = type;
    t.defaultOpacity = defaultOpacity;
    if (type != kOpacityMap)
        return true;
    const DWORD cx = DWORD(root->m.NotChild.rect.right);
    const DWORD cy = DWORD(root->m.NotChild.rect.bottom);
    t.opacity = static_cast<BYTE*>(MEM_ALLOC(size_t(cx) * cy, "cbOpacity"));
    if (!t.opacity) {
        t = {};
        return false;
    }
    std::memset(t.opacity, defaultOpacity, size_t(cx) * cy);
    t.cRows = cy;
    t.cbStride = cx;
    return true;
}

bool Graphic::SetTranslucency(const Graphic& mask)
{
    if (!Check(__func__))
        return false;
    Graphic* root = Root();
    const int cx = root->m.NotChild.rect.right;
    const int cy = root->m.NotChild.rect.bottom;
    if (!mask.valid || mask.GetWidth() != cx || mask.GetHeight() != cy)
        return false;
    const DWORD stride = (DWORD(cx) + 3) & ~DWORD(3);
    BYTE* map = static_cast<BYTE*>(MEM_ALLOC(size_t(stride) * DWORD(cy), "cbOpacity"));
    if (!map)
        return false;
    std::memset(map, 0, size_t(stride) * DWORD(cy));
    for (int y = 0; y < cy; ++y) {
        for (int x = 0; x < cx; ++x) {
            const COLORREF c = mask.GetPixelColor(x, y);
            map[size_t(y) * stride + DWORD(x)] = BYTE(((c & 0xFF) + ((c >> 8) & 0xFF) + ((c >> 16) & 0xFF)) / 3);
        }
    }
    root->FreeTranslucency();
    root->m.NotChild.translucency = {kOpacityMap, 0, map, DWORD(cy), stride};
    return true;
}

bool Graphic::HasSelection() const
{
    return valid && Root()->m.NotChild.selection;
}

BYTE* Graphic::GetSelection(DWORD* pcb) const
{
    *pcb = 0;
    if (!HasSelection())
        return nullptr;
    const Graphic* root = Root();
    const POINT at = OffsetInRoot();
    const int cx = GetWidth();
    const int cy = GetHeight();
    const RECT& whole = root->m.NotChild.rect;
    if (root->m.NotChild.cbSelection < DWORD(whole.right) * DWORD(whole.bottom) || cx <= 0 || cy <= 0)
        return nullptr;
    BYTE* copy = static_cast<BYTE*>(MEM_ALLOC(size_t(cx) * DWORD(cy), "*pcbSelection"));
    if (!copy)
        return nullptr;
    const DWORD stride = DWORD(root->m.NotChild.rect.right);
    for (int y = 0; y < cy; ++y)
        std::memcpy(copy + size_t(y) * DWORD(cx), root->m.NotChild.selection + size_t(y + at.y) * stride + DWORD(at.x), size_t(cx));
    *pcb = DWORD(cx) * DWORD(cy);
    return copy;
}

void Graphic::ReleaseSelection(BYTE* selection)
{
    MEM_FREE(selection);
}

BYTE* Graphic::NewSelection(int cx, int cy)
{
    if (!valid || isChild || cx <= 0 || cy <= 0)
        return nullptr;
    NOTCHILD& n = m.NotChild;
    MEM_FREE(n.selection);
    n.cbSelection = DWORD(cx) * DWORD(cy);
    n.selection = static_cast<BYTE*>(MEM_ALLOC(n.cbSelection, "cbSelection"));
    if (n.selection)
        std::memset(n.selection, 0, n.cbSelection);
    else
        n.cbSelection = 0;
    return n.selection;
}

// Pixels

DWORD Graphic::ColorToValue(COLORREF color) const
{
    if (!Check(__func__))
        return 0;
    const NOTCHILD& n = Root()->m.NotChild;
    const DWORD r = color & 0xFF;
    const DWORD g = (color >> 8) & 0xFF;
    const DWORD b = (color >> 16) & 0xFF;
    switch (n.bitCount) {
    case 1:
    case 2:
    case 4:
    case 8:
        for (int i = 0; i < (1 << n.bitCount); ++i) {
            if (n.palette[i].rgbRed == r && n.palette[i].rgbGreen == g && n.palette[i].rgbBlue == b)
                return DWORD(i);
        }
        return 0;
    case 16:
        if (GetDisplay().f555)
            return (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3);
        return (r >> 3) << 11 | (g >> 2) << 5 | (b >> 3);
    case 24:
    case 32: return r << 16 | g << 8 | b;
    default: return 0;
    }
}

COLORREF Graphic::ValueToColor(DWORD value) const
{
    if (!Check(__func__))
        return kNoColor;
    const NOTCHILD& n = Root()->m.NotChild;
    switch (n.bitCount) {
    case 1:
    case 2:
    case 4:
    case 8: {
        const RGBQUAD& e = n.palette[std::min(value, DWORD(1u << n.bitCount) - 1)];
        return RGB(e.rgbRed, e.rgbGreen, e.rgbBlue);
    }
    case 16:
        if (GetDisplay().f555)
            return RGB(((value >> 10) & 31) * 8, ((value >> 5) & 31) * 8, (value & 31) * 8);
        return RGB(((value >> 11) & 31) * 8, ((value >> 5) & 63) * 4, (value & 31) * 8);
    case 24:
    case 32: return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
    default: return kNoColor;
    }
}

namespace {

// The root that holds (x, y) of g, with the point moved into it; none when the point lies
// outside g or any view on the way.
const Graphic* PixelRoot(const Graphic* g, int& x, int& y)
{
    if (!g->valid)
        return nullptr;
    while (g->isChild) {
        const RECT& r = g->m.Child.rect;
        if (x < 0 || y < 0 || x >= r.right - r.left || y >= r.bottom - r.top || !g->m.Child.parent)
            return nullptr;
        x += r.left;
        y += r.top;
        g = g->m.Child.parent;
        if (!g->valid)
            return nullptr;
    }
    const Graphic::NOTCHILD& n = g->m.NotChild;
    if (!n.bits || x < 0 || y < 0 || x >= n.rect.right || y >= n.rect.bottom)
        return nullptr;
    return g;
}

} // namespace

DWORD Graphic::GetPixelValue(int x, int y) const
{
    const Graphic* root = PixelRoot(this, x, y);
    if (!root)
        return 0;
    const NOTCHILD& n = root->m.NotChild;
    const BYTE* p = n.bits + size_t(y) * n.cbPitch + (size_t(x) * DWORD(n.bitCount)) / 8;
    switch (n.bitCount) {
    case 16: return LoadLe16(p);
    case 24: return LoadLe16(p) | DWORD(p[2]) << 16;
    case 32: return LoadLe32(p) & n.valueMask;
    default: {
        const int perByte = 8 / n.bitCount;
        const int shift = 8 - n.bitCount * (x % perByte + 1);
        return (DWORD(*p) >> shift) & n.valueMask;
    }
    }
}

void Graphic::SetPixelValue(int x, int y, DWORD value)
{
    Graphic* root = const_cast<Graphic*>(PixelRoot(this, x, y));
    if (!root)
        return;
    const NOTCHILD& n = root->m.NotChild;
    BYTE* p = n.bits + size_t(y) * n.cbPitch + (size_t(x) * DWORD(n.bitCount)) / 8;
    value &= n.valueMask;
    switch (n.bitCount) {
    case 16: StoreLe16(p, value); return;
    case 24:
        StoreLe16(p, value);
        p[2] = BYTE(value >> 16);
        return;
    case 32: StoreLe32(p, value); return;
    default: {
        const int perByte = 8 / n.bitCount;
        const int shift = 8 - n.bitCount * (x % perByte + 1);
        *p = BYTE((*p & ~(n.valueMask << shift)) | (value << shift));
    }
    }
}

COLORREF Graphic::GetPixelColor(int x, int y) const
{
    return ValueToColor(GetPixelValue(x, y));
}

void Graphic::SetPixelColor(int x, int y, COLORREF color)
{
    SetPixelValue(x, y, ColorToValue(color));
}

// Device context

HDC Graphic::GetDC()
{
    if (!Check(__func__))
        return nullptr;
    NOTCHILD& n = Root()->m.NotChild;
    if (!n.bitmap)
        return nullptr;
    if (n.dcCount == 0) {
        n.dc = CreateCompatibleDC(nullptr);
        if (!n.dc)
            return nullptr;
        n.oldBitmap = SelectObject(n.dc, n.bitmap);
    }
    ++n.dcCount;
    return n.dc;
}

void Graphic::ReleaseDC()
{
    if (!Check(__func__))
        return;
    NOTCHILD& n = Root()->m.NotChild;
    if (n.dcCount == 0 || --n.dcCount > 0)
        return;
    SelectObject(n.dc, n.oldBitmap);
    DeleteDC(n.dc);
    n.dc = nullptr;
    n.oldBitmap = nullptr;
}

// Palette

bool Graphic::GetPaletteEntries(PALETTEENTRY* entries, UINT first, UINT count) const
{
    if (!Check(__func__))
        return false;
    const NOTCHILD& n = Root()->m.NotChild;
    if (n.bitCount > 8 || n.bitCount < 1)
        return false;
    const UINT size = 1u << n.bitCount;
    if (first >= size)
        return false;
    const UINT c = std::min(count, size - first);
    for (UINT i = 0; i < c; ++i) {
        const RGBQUAD& q = n.palette[first + i];
        entries[i] = {q.rgbRed, q.rgbGreen, q.rgbBlue, 0};
    }
    return c > 0;
}

bool Graphic::SetPaletteEntries(const PALETTEENTRY* entries, UINT first, UINT count)
{
    if (!Check(__func__))
        return false;
    Graphic* root = Root();
    NOTCHILD& n = root->m.NotChild;
    if (n.bitCount > 8 || n.bitCount < 1 || !n.bitmap)
        return false;
    const UINT size = 1u << n.bitCount;
    if (first >= size)
        return false;
    RGBQUAD table[256];
    std::memcpy(table, n.palette, sizeof table);
    const UINT c = std::min(count, size - first);
    for (UINT i = 0; i < c; ++i)
        table[first + i] = {entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0};
    bool same = true;
    for (UINT i = 0; i < size && same; ++i) {
        same = table[i].rgbRed == n.palette[i].rgbRed && table[i].rgbGreen == n.palette[i].rgbGreen
               && table[i].rgbBlue == n.palette[i].rgbBlue;
    }
    if (same)
        return true;

    // The platform's colour table is fixed at creation: make the section again around the
    // same pixels. Values may now name other colours, so the run lists go too.
    const size_t cbBits = size_t(n.cbPitch) * DWORD(n.rect.bottom);
    BYTE* pixels = static_cast<BYTE*>(MEM_ALLOC(cbBits, "cbBits"));
    if (!pixels)
        return false;
    std::memcpy(pixels, n.bits, cbBits);
    const COLORREF transparency = n.transparency;
    root->FreeRuns();
    const bool selected = n.dcCount > 0;
    if (selected)
        SelectObject(n.dc, n.oldBitmap);
    DeleteObject(n.bitmap);
    n.bitmap = nullptr;
    n.bits = nullptr;
    const bool created = root->Create(n.rect.right, n.rect.bottom, n.bitCount, table);
    if (created)
        std::memcpy(n.bits, pixels, cbBits);
    MEM_FREE(pixels);
    n.transparency = transparency;
    if (selected && created)
        n.oldBitmap = SelectObject(n.dc, n.bitmap);
    return created;
}

COLORREF Graphic::GetPaletteColor(UINT index) const
{
    if (!Check(__func__))
        return kNoColor;
    const NOTCHILD& n = Root()->m.NotChild;
    if (n.bitCount < 1 || n.bitCount > 8 || index >= (1u << n.bitCount))
        return kNoColor;
    return RGB(n.palette[index].rgbRed, n.palette[index].rgbGreen, n.palette[index].rgbBlue);
}

PaletteGroup* Graphic::GetPaletteGroup() const
{
    return valid ? Root()->m.NotChild.paletteGroup : nullptr;
}

void Graphic::SetPaletteGroup(PaletteGroup* group)
{
    if (valid)
        Root()->m.NotChild.paletteGroup = group;
}

DWORD Graphic::GetSaveSize(bool withFileHeader) const
{
    if (!Check(__func__))
        return 0;
    const NOTCHILD& n = Root()->m.NotChild;
    const DWORD cbTable = n.bitCount <= 8 ? 4u << n.bitCount : 0;
    return (withFileHeader ? kFileHeaderSize : 0) + kInfoHeaderSize + cbTable + DWORD(GetHeight()) * PitchOf(GetWidth(), n.bitCount);
}
