#include "cea_sprite.h"

#include "cea_diagnostics.h"
#include "cea_window.h"
#include "memmgr.h"
#include "trace.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr int kChildrenGrowBy = 4;

// A frame's width (height) from across (down) and the sheet's width (height).
int FrameExtent(int cells, int sheetExtent)
{
    if (cells < 0)
        return int(DWORD(cells) & 0x7FFFFFFF);
    return sheetExtent / std::max(cells, 1);
}

Graphic* NewFrame(Graphic* parent, const RECT& rect)
{
    return static_cast<Graphic*>(MemTrackObject(new Graphic(parent, &rect), sizeof(Graphic), "GRAPHIC", __FILE__, __LINE__));
}

Graphic* NewSheet(Graphic* sheet)
{
    return static_cast<Graphic*>(MemTrackObject(sheet, sizeof(Graphic), "GRAPHIC", __FILE__, __LINE__));
}

} // namespace

void Sprite::Clear()
{
    ownsSheet = FALSE;
    sheet = nullptr;
    isChild = FALSE;
    rect = {0, 0, 0, 0};
    parent = nullptr;
    children = nullptr;
    cChildren = 0;
}

Sprite::Sprite(LPCWSTR path, COLORREF transparency, int across, int down, DWORD count)
{
    Clear();
    ownsSheet = TRUE;
    sheet = NewSheet(new Graphic(path, &frames, transparency));
    Split(across, down, count);
}

Sprite::Sprite(HANDLE file, COLORREF transparency, int across, int down, DWORD count)
{
    Clear();
    ownsSheet = TRUE;
    sheet = NewSheet(new Graphic(file, &frames, transparency));
    Split(across, down, count);
}

Sprite::Sprite(const void* data, DWORD cb, COLORREF transparency, int across, int down, DWORD count)
{
    Clear();
    ownsSheet = TRUE;
    sheet = NewSheet(new Graphic(data, cb, &frames, transparency));
    Split(across, down, count);
}

Sprite::Sprite(HMODULE module, LPCWSTR name, COLORREF transparency, int across, int down, DWORD count)
{
    Clear();
    ownsSheet = TRUE;
    sheet = NewSheet(new Graphic(module, name, &frames, transparency));
    Split(across, down, count);
}

Sprite::Sprite(Graphic* graphic, int across, int down, DWORD count)
{
    Clear();
    sheet = graphic;
    Split(across, down, count);
}

Sprite::Sprite(Sprite* parentSprite, const RECT& part)
{
    Clear();
    isChild = TRUE;
    parent = parentSprite;
    rect = part;
    for (Graphic* frame : parent->frames)
        frames.Add(NewFrame(frame, rect));
    parent->AddChild(this);
}

Sprite::~Sprite()
{
    // Children show parts of this sprite's frames: they go first.
    for (int i = 0; i < cChildren; ++i) {
        if (Sprite* child = children[i]) {
            Trace("Warning: freeing child sprite 0x%08lX when parent 0x%08lX destroyed", Address(child), Address(this));
            MEM_DELETE(child);
        }
    }
    MEM_FREE(children);
    for (Graphic* frame : frames)
        MEM_DELETE(frame);
    frames.RemoveAll();
    if (parent)
        parent->RemoveChild(this);
    if (ownsSheet)
        MEM_DELETE(sheet);
}

void Sprite::Split(int across, int down, DWORD count)
{
    if (!frames.IsEmpty()) {
        if (count > 1)
            Trace("Warning: constructing sprite 0x%08lX by splitting already-animated file: you have to do that yourself", Address(this));
        return;
    }
    if (!sheet || !sheet->HasBitmap())
        return;
    const int cxFrame = FrameExtent(across, sheet->GetWidth());
    const int cyFrame = FrameExtent(down, sheet->GetHeight());
    const DWORD columns = DWORD(sheet->GetWidth() / std::max(cxFrame, 1));
    const DWORD rows = DWORD(sheet->GetHeight() / std::max(cyFrame, 1));
    const DWORD cells = columns * rows;
    count = count == kAllFrames ? cells : std::min(count, cells);
    for (DWORD i = 0; i < count; ++i) {
        const LONG left = LONG(DWORD(cxFrame) * (i % columns));
        const LONG top = LONG(DWORD(cyFrame) * (i / columns));
        frames.Add(NewFrame(sheet, {left, top, left + cxFrame, top + cyFrame}));
    }
}

void Sprite::AddChild(Sprite* child)
{
    int i = 0;
    while (i < cChildren && children[i])
        ++i;
    if (i == cChildren && !MEM_GROW_ARRAY(&children, &cChildren, i + 1, kChildrenGrowBy))
        return;
    children[i] = child;
}

void Sprite::RemoveChild(Sprite* child)
{
    for (int i = 0; i < cChildren; ++i)
        if (children[i] == child)
            children[i] = nullptr;
}

RECT Sprite::GetRect() const
{
    if (isChild)
        return rect;
    const Graphic* first = Frame(0);
    return first ? first->GetRect() : RECT{0, 0, 0, 0};
}

int Sprite::GetWidth() const
{
    const Graphic* first = Frame(0);
    return first ? first->GetWidth() : 0;
}

int Sprite::GetHeight() const
{
    const Graphic* first = Frame(0);
    return first ? first->GetHeight() : 0;
}

Graphic* Sprite::Frame(int i) const
{
    return i >= 0 && i < FrameCount() ? frames[size_t(i)] : nullptr;
}

Graphic* Sprite::FrameFor(const AnimWindow* window) const
{
    if (frames.IsEmpty())
        return nullptr;
    return frames[window->GetCurrentFrame() % frames.Count()];
}
