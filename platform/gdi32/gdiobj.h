// GDI objects as the layer keeps them. One table maps handles to host objects, so a bad or
// deleted handle is simply not found and the call fails as it would on Win32. Every API call
// holds the GDI lock for its duration: objects may be made on one thread and used on another.
#pragma once

#include "pixels.h"

#include "wingdi.h"

#include <memory>
#include <mutex>
#include <optional>
#include <vector>

struct RealFont;

enum class GdiKind { Bitmap, Brush, Pen, Font, Palette, Region, DC };

struct GdiObject {
    explicit GdiObject(GdiKind k) : kind(k) { }
    virtual ~GdiObject() = default;

    const GdiKind kind;
    bool stock = false;
    int selections = 0; // device contexts holding this object
};

struct DibSection : GdiObject {
    static constexpr GdiKind kKind = GdiKind::Bitmap;
    DibSection() : GdiObject(kKind) { }
    ~DibSection() override;

    BITMAPINFOHEADER header{}; // as the caller gave it
    PixelFormat format;
    int width = 0;
    int height = 0;
    int pitch = 0;
    bool topDown = false;
    BYTE* bits = nullptr; // pitch * height bytes in storage order, owned

    Surface View() const;
};

struct Brush : GdiObject {
    static constexpr GdiKind kKind = GdiKind::Brush;
    Brush(UINT s, COLORREF c) : GdiObject(kKind), style(s), color(c) { }
    UINT style;
    COLORREF color;
};

struct Pen : GdiObject {
    static constexpr GdiKind kKind = GdiKind::Pen;
    Pen(UINT s, int w, COLORREF c) : GdiObject(kKind), style(s), width(w), color(c) { }
    UINT style;
    int width;
    COLORREF color;
};

struct Font : GdiObject {
    static constexpr GdiKind kKind = GdiKind::Font;
    explicit Font(const LOGFONTW& lf) : GdiObject(kKind), log(lf) { }
    LOGFONTW log;
    const RealFont* real = nullptr; // resolved on first use
};

struct Palette : GdiObject {
    static constexpr GdiKind kKind = GdiKind::Palette;
    Palette() : GdiObject(kKind) { }
    std::vector<PALETTEENTRY> entries;
};

// A region is a set of non-overlapping rectangles; rect is their bounding box, which is what a
// DC clips to.
struct Region : GdiObject {
    static constexpr GdiKind kKind = GdiKind::Region;
    explicit Region(const RECT& r) : GdiObject(kKind), rect(r)
    {
        if (r.left < r.right && r.top < r.bottom)
            parts.push_back(r);
        else
            rect = RECT{0, 0, 0, 0};
    }
    RECT rect;
    std::vector<RECT> parts;
};

struct DeviceContext : GdiObject {
    static constexpr GdiKind kKind = GdiKind::DC;
    DeviceContext() : GdiObject(kKind) { }

    bool memory = false; // a memory DC; the screen DC has no pixels of its own
    HBITMAP bitmap = nullptr;
    HBRUSH brush = nullptr;
    HPEN pen = nullptr;
    HFONT font = nullptr;
    HPALETTE palette = nullptr;
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF bkColor = RGB(255, 255, 255);
    int bkMode = OPAQUE;
    std::optional<RECT> clip;
    std::optional<Surface> window; // a window DC: its window's part of the host surface
};

// Where a DC draws: its bitmap's pixels and the rectangle drawing may touch.
struct Target {
    Surface surface;
    RECT bounds{}; // bitmap rectangle cut by the clip; empty when the DC cannot draw
    const DeviceContext* dc = nullptr;
};

std::recursive_mutex& GdiLock();
using GdiGuard = std::lock_guard<std::recursive_mutex>;

HGDIOBJ AddObject(std::unique_ptr<GdiObject> object);
GdiObject* FindObject(HGDIOBJ handle);
template<class T> T* Find(HGDIOBJ handle)
{
    GdiObject* object = FindObject(handle);
    return object && object->kind == T::kKind ? static_cast<T*>(object) : nullptr;
}
void RemoveObject(HGDIOBJ handle);

// The 1 x 1 monochrome bitmap every new memory DC starts with.
HBITMAP DefaultBitmap();

// Looks the DC up and computes where it draws; nullopt for a bad handle.
std::optional<Target> TargetOf(HDC hdc);
// A COLORREF (plain, palette-relative or palette index) as 0x00RRGGBB for this DC.
uint32_t ResolveColor(const DeviceContext& dc, COLORREF color);
// Fills a rectangle of the target (in DC coordinates) with one colour, clipped to its bounds.
void FillTarget(const Target& target, RECT rect, uint32_t rgb);
// The twenty static colours round a 256-entry system palette.
const PALETTEENTRY* SystemPalette();
// The display's size and depth, read once from SDL.
struct DisplayInfo {
    int width;
    int height;
    int bitsPerPixel;
};
const DisplayInfo& Display();

bool IntersectRects(RECT& out, const RECT& a, const RECT& b);

// A new DC: a memory DC starts with the default bitmap; the screen DC has no pixels.
HDC NewDC(bool memory);
