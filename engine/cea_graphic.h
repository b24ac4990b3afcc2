// Graphic: the engine's bitmap. A device-independent bitmap section whose pixels the engine
// reads and writes directly, with a palette for depths up to 8 bits, an optional transparent
// colour, an optional opacity description, the selection of the file it came from, and
// children: rectangular views onto a parent that own no pixels.
//
// Every operation first checks that the graphic is valid; misuse is reported to the debug
// output with the operation's name and the graphic's address, and the call returns a neutral
// value. A graphic whose load failed is valid but has no bitmap, and draws nothing.
#pragma once

#include "cetl/vector.h"

#include "windows.h"

struct Graphic;
struct PaletteGroup;

// The frames a layered file's layers become, one graphic per layer (a sprite's frame array).
using FrameList = cetl::vector<Graphic*>;

// No colour: no transparent colour, no fill.
constexpr COLORREF kNoColor = 0xFFFFFFFF;
// A width or height that reaches the right (bottom) edge of the source.
constexpr int kToEdge = 0x7FFFFFFF;

enum TranslucencyType : DWORD {
    kOpaque = 0,
    kUniformOpacity = 1, // one opacity for every pixel
    kOpacityMap = 2, // one opacity byte per pixel
};

struct TRANSLUCENCY {
    DWORD type;
    BYTE defaultOpacity;
    BYTE* opacity; // kOpacityMap: rows of cbStride bytes, width of them used
    DWORD cRows;
    DWORD cbStride;
};

// A stretch of pixels in one row that are not the transparent colour.
struct OPAQUERUN {
    DWORD x;
    DWORD cx;
};

// The runs of one row: runs[iFirst] onwards, cRuns of them; iFirst is 0xFFFFFFFF when none.
struct ROWRUNS {
    DWORD iFirst;
    DWORD cRuns;
};

struct Graphic {
    struct CHILD {
        Graphic* parent;
        RECT rect; // in the parent, within its bounds
    };
    struct NOTCHILD {
        HBITMAP bitmap;
        BYTE* bits; // rows top-down
        RGBQUAD palette[256];
        RECT rect; // (0, 0, width, height)
        int bitCount;
        HDC dc;
        DWORD dcCount;
        HGDIOBJ oldBitmap;
        DWORD cbPitch;
        DWORD valueMask;
        PaletteGroup* paletteGroup;
        TRANSLUCENCY translucency;
        COLORREF transparency;
        COLORREF runsKey;
        OPAQUERUN* runs;
        int cRuns;
        int cRunsAlloc;
        ROWRUNS* rowRuns;
        int cRowRuns;
        BYTE* selection;
        DWORD cbSelection;
        Graphic** children;
        int cChildren;
    };

    DWORD valid;
    DWORD isChild;
    union {
        CHILD Child;
        NOTCHILD NotChild;
    } m;

    // Loading: a layered image file or device-independent bitmap data. A layered file's
    // layers go to frames when it has more than one; transparency is the colour key wanted
    // when the file carries no mask.
    Graphic(LPCWSTR path, FrameList* frames = nullptr, COLORREF transparency = kNoColor);
    Graphic(HANDLE file, FrameList* frames, COLORREF transparency);
    Graphic(const void* data, DWORD cb, FrameList* frames = nullptr, COLORREF transparency = kNoColor);
    Graphic(HMODULE module, LPCWSTR name, FrameList* frames, COLORREF transparency);
    // An empty bitmap; bitCount 0 is the display's depth; no palette is the system's.
    Graphic(int cx, int cy, int bitCount, const RGBQUAD* palette = nullptr);
    Graphic(int cx, int cy, int bitCount, PaletteGroup* group);
    // A view of rect in parent (none: the whole parent).
    Graphic(Graphic* parent, const RECT* rect);
    ~Graphic();
    Graphic(const Graphic&) = delete;
    Graphic& operator=(const Graphic&) = delete;

    bool Create(int cx, int cy, int bitCount, const RGBQUAD* palette);
    void Destroy();

    bool IsChild() const;
    Graphic* GetParent() const;
    RECT GetRectInParent() const;
    RECT GetRect() const;
    int GetWidth() const;
    int GetHeight() const;
    int GetBitCount() const;
    bool HasBitmap() const;

    COLORREF GetTransparency() const;
    void SetTransparency(COLORREF color);
    bool IsTransparent() const { return GetTransparency() < kNoColor; }

    bool IsTranslucent() const;
    const TRANSLUCENCY* GetTranslucency() const;
    bool SetTranslucency(DWORD type, BYTE defaultOpacity);
    // A per-pixel opacity from the brightness of a graphic of the same size.
    bool SetTranslucency(const Graphic& mask);

    bool HasSelection() const;
    // A copy of the selection inside this graphic's rectangle, freed by ReleaseSelection.
    BYTE* GetSelection(DWORD* pcb) const;
    static void ReleaseSelection(BYTE* selection);
    // Replaces the selection by a zero-filled one of cx x cy bytes (the file's canvas).
    BYTE* NewSelection(int cx, int cy);

    DWORD ColorToValue(COLORREF color) const;
    COLORREF ValueToColor(DWORD value) const;
    DWORD GetPixelValue(int x, int y) const;
    void SetPixelValue(int x, int y, DWORD value);
    COLORREF GetPixelColor(int x, int y) const;
    void SetPixelColor(int x, int y, COLORREF color);

    HDC GetDC();
    void ReleaseDC();

    bool GetPaletteEntries(PALETTEENTRY* entries, UINT first, UINT count) const;
    bool SetPaletteEntries(const PALETTEENTRY* entries, UINT first, UINT count);
    COLORREF GetPaletteColor(UINT index) const;
    PaletteGroup* GetPaletteGroup() const;
    void SetPaletteGroup(PaletteGroup* group);

    // A bottom-up bitmap file of this graphic's rectangle.
    bool Save(HANDLE file);
    DWORD GetSaveSize(bool withFileHeader) const;

    // Drawing: sizes of kToEdge reach the source's right (bottom) edge.
    void DrawTo(Graphic* dst, int xDst, int yDst, int xSrc = 0, int ySrc = 0, int cx = kToEdge, int cy = kToEdge);
    void DrawTo(HDC dst, int xDst, int yDst, int xSrc = 0, int ySrc = 0, int cx = kToEdge, int cy = kToEdge);
    void StretchTo(Graphic* dst, int xDst, int yDst, int cxDst, int cyDst, int xSrc, int ySrc, int cxSrc, int cySrc);
    void StretchTo(HDC dst, int xDst, int yDst, int cxDst, int cyDst, int xSrc, int ySrc, int cxSrc, int cySrc);
    void TileTo(Graphic* dst, int xDst, int yDst, int cxDst, int cyDst, int xSrc, int ySrc, int cxSrc, int cySrc, int xPhase, int yPhase);
    void TileTo(HDC dst, int xDst, int yDst, int cxDst, int cyDst, int xSrc, int ySrc, int cxSrc, int cySrc, int xPhase, int yPhase);
    void UpdateRuns();

    // The graphic that owns the pixels, and this graphic's offset in it.
    Graphic* Root();
    const Graphic* Root() const;
    POINT OffsetInRoot() const;

private:
    void Clear();
    // False, with a trace line naming the caller (its __func__), when the graphic is invalid.
    bool Check(const char* function) const;
    void LoadFromMemory(const BYTE* data, DWORD cb, FrameList* frames, COLORREF transparency);
    void LoadBitmap(const BYTE* data, DWORD cb, COLORREF transparency);
    void AddChild(Graphic* child);
    void RemoveChild(Graphic* child);
    void FreeRuns();
    void FreeTranslucency();
};

// The pixel layout helpers the drawing code and the readers share.
inline DWORD PitchOf(int cx, int bitCount)
{
    return ((DWORD(cx) * DWORD(bitCount) + 31) / 32) * 4;
}

// Planes times bits per pixel of a header; 0 when the product is no depth at all (a forged
// header's two 16-bit fields multiply beyond an int).
inline int BitCountOf(const BITMAPINFOHEADER& header)
{
    const DWORD bits = DWORD(header.biPlanes) * DWORD(header.biBitCount);
    return bits > 32 ? 0 : int(bits);
}
