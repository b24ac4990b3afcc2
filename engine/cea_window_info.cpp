// The two information objects an animation window can show along its bottom edge: the
// measured frame rate and a status line.
#include "cea_graphic.h"
#include "cea_object.h"
#include "cea_window.h"
#include "memmgr.h"
#include "tl_string.h"

#include <cstdio>

namespace {

constexpr int kFpsLayer = 1;
constexpr int kStatusLayer = 2;
constexpr int kStatusTextSlot = 0;

string FpsText(double rate)
{
    char text[64];
    std::snprintf(text, sizeof text, " %.1lf FPS ", rate);
    return string(text);
}

SIZE ScreenTextExtent(const string& text)
{
    SIZE size{0, 0};
    if (HDC hdc = GetDC(nullptr)) {
        const std::u16string_view wide(text.Wide());
        GetTextExtentPoint32W(hdc, wide.data(), int(wide.size()), &size);
        ReleaseDC(nullptr, hdc);
    }
    return size;
}

// White box, black text, drawn only inside the part being painted.
void DrawInfo(ANIMOBJECT* object, const ANIMDRAW& draw, const string& text, UINT format)
{
    HDC hdc = draw.target->GetDC();
    if (!hdc)
        return;
    IntersectClipRect(hdc, draw.rect.left, draw.rect.top, draw.rect.right, draw.rect.bottom);
    FillRect(hdc, &draw.rect, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetTextColor(hdc, RGB(0, 0, 0));
    SetBkMode(hdc, TRANSPARENT);
    RECT rect = object->rect;
    DrawTextW(hdc, text.Wide(), -1, &rect, format | DT_VCENTER | DT_SINGLELINE);
    SelectClipRgn(hdc, nullptr);
    draw.target->ReleaseDC();
}

LRESULT FpsProc(ANIMOBJECT* object, UINT message, void* data)
{
    if (message == kObjUpdate)
        object->Invalidate();
    else if (message == kObjDraw)
        DrawInfo(object, *static_cast<ANIMDRAW*>(data), FpsText(object->window->GetMeasuredFrameRate()), DT_CENTER);
    return 1;
}

string* StatusText(ANIMOBJECT* object)
{
    return reinterpret_cast<string*>(object->GetData(kStatusTextSlot));
}

LRESULT StatusProc(ANIMOBJECT* object, UINT message, void* data)
{
    if (message == kObjDraw && StatusText(object))
        DrawInfo(object, *static_cast<ANIMDRAW*>(data), *StatusText(object), DT_RIGHT);
    else if (message == kObjDestroying && StatusText(object))
        MEM_DELETE(StatusText(object));
    return 1;
}

} // namespace

void AnimWindow::ShowFrameRate(bool fShow)
{
    if (!fShow) {
        if (fpsObject)
            fpsObject->Destroy();
        fpsObject = nullptr;
        return;
    }
    if (fpsObject)
        return;
    fpsObject = ANIMOBJECT::Create(this, FpsProc, kFpsLayer);
    if (!fpsObject)
        return;
    // Wide enough for any rate the engine can show.
    const SIZE size = ScreenTextExtent(FpsText(998.4));
    fpsObject->SetRect({client.left, client.bottom - size.cy, client.left + size.cx, client.bottom});
}

void AnimWindow::SetStatusText(const string& text)
{
    if (text.IsEmpty()) {
        if (statusObject)
            statusObject->Destroy();
        statusObject = nullptr;
        return;
    }
    if (!statusObject) {
        statusObject = ANIMOBJECT::Create(this, StatusProc, kStatusLayer);
        if (!statusObject)
            return;
        const int cy = ScreenTextExtent(string("X!'g")).cy;
        statusObject->SetRect({client.left, client.bottom - cy, client.right, client.bottom});
    }
    string* copy = MEM_NEW(string, text);
    if (string* old = StatusText(statusObject))
        MEM_DELETE(old);
    statusObject->SetData(kStatusTextSlot, reinterpret_cast<UINT_PTR>(copy));
    statusObject->Invalidate();
}
