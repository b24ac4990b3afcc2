#include "aux_control.h"

#include "cea_dirty.h"
#include "cea_graphic.h"
#include "cea_window.h"
#include "memmgr.h"

namespace {

constexpr int kColorsGrowBy = 8;
constexpr WORD kControlHookPriority = 100;

// Shared by every control: at most one has the focus and one the capture.
struct CONTROLSTATE {
    ANIMCONTROL* focused;
    ANIMCONTROL* captured;
    HWND previousCapture; // who held the mouse capture before a control took it
};
CONTROLSTATE g_controls;

// The message position in the window's client coordinates.
POINT MessagePoint(AnimWindow* window)
{
    const DWORD pos = GetMessagePos();
    POINT point{GET_X_LPARAM(pos), GET_Y_LPARAM(pos)};
    ScreenToClient(window->GetWindow(), &point);
    return point;
}

bool Contains(const RECT& rect, POINT point)
{
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top && point.y < rect.bottom;
}

// The frontmost control object under point that takes input and is hit.
ANIMCONTROL* ControlAt(AnimWindow* window, POINT point)
{
    for (ANIMOBJECT* object = window->FirstObject(); object; object = object->next) {
        ANIMCONTROL* control = ANIMCONTROL::FromObject(object);
        if (!control || !Contains(object->rect, point) || !object->Send(kObjMayTakeInput))
            continue;
        POINT relative{point.x - object->rect.left, point.y - object->rect.top};
        if (object->Send(kObjHitTest, &relative))
            return control;
    }
    return nullptr;
}

BOOL ControlHook(AnimWindow* window, UINT message, WPARAM, LPARAM)
{
    if (message == WM_LBUTTONDOWN) {
        ANIMCONTROL* control = ControlAt(window, MessagePoint(window));
        ANIMCONTROL::SetFocusControl(control);
        if (control)
            control->TakeCapture();
        else if (ANIMCONTROL* captured = ANIMCONTROL::Captured())
            captured->ReleaseCapture();
    } else if (message == WM_LBUTTONUP) {
        ANIMCONTROL* control = ANIMCONTROL::Focused();
        if (control && control->HasCapture() && control->Object() && control->Object()->Send(kObjMayTakeInput)) {
            control->ReleaseCapture();
            control->Invalidate();
        }
    }
    return FALSE;
}

} // namespace

ANIMCONTROL::ANIMCONTROL(AnimWindow* window, int layer, int controlKind) :
    object(nullptr), autoSize(TRUE), needsLayout(TRUE), id(0), drawCallback(ObjectProc), kind(controlKind), colors(nullptr), cColors(0),
    repaintNow(FALSE), enabled(TRUE), font(static_cast<HFONT>(GetStockObject(SYSTEM_FONT)))
{
    object = ANIMOBJECT::Create(window, drawCallback, layer);
    // Without its object the control is inert, and Destroy removes no hook for it.
    if (object) {
        object->SetData(kControlSlot, reinterpret_cast<UINT_PTR>(this));
        window->AddHook(ControlHook, kHookAll, kControlHookPriority);
    }
}

ANIMCONTROL* ANIMCONTROL::FromObject(const ANIMOBJECT* object)
{
    return object ? reinterpret_cast<ANIMCONTROL*>(object->GetData(kControlSlot)) : nullptr;
}

ANIMCONTROL* ANIMCONTROL::Focused()
{
    return g_controls.focused;
}

ANIMCONTROL* ANIMCONTROL::Captured()
{
    return g_controls.captured;
}

bool ANIMCONTROL::HasFocus() const
{
    return g_controls.focused == this;
}

LRESULT ANIMCONTROL::ObjectProc(ANIMOBJECT* object, UINT message, void* data)
{
    ANIMCONTROL* control = FromObject(object);
    if (!control)
        return 1;
    const LRESULT pre = control->PreHandle(message, data);
    if (pre == 0)
        return 0;
    switch (message) {
    case kObjDestroying:
        // The engine is destroying the object (its window is going): the control lets go of it.
        control->object = nullptr;
        return 1;
    case kObjDraw: {
        const auto* draw = static_cast<ANIMDRAW*>(data);
        control->LayoutIfNeeded();
        control->Draw(draw->target, draw->rect);
        return 1;
    }
    case kObjHitTest: return control->HitTest(*static_cast<POINT*>(data));
    default: return pre;
    }
}

LRESULT ANIMCONTROL::PreHandle(UINT, void*)
{
    return 1;
}

bool ANIMCONTROL::HitTest(POINT)
{
    return true;
}

void ANIMCONTROL::Destroy()
{
    if (g_controls.captured == this)
        ReleaseCapture();
    if (g_controls.focused == this)
        g_controls.focused = nullptr;
    if (object) {
        AnimWindow* window = object->window;
        window->RemoveHook(ControlHook);
        object->SetData(kControlSlot, 0); // the object's last message no longer reaches the control
        object->Destroy();
        object = nullptr;
        if (repaintNow)
            window->PaintNow();
    }
    MEM_FREE(colors);
    colors = nullptr;
}

void ANIMCONTROL::LayoutIfNeeded()
{
    if (needsLayout && autoSize) {
        needsLayout = FALSE;
        Layout();
    }
}

RECT ANIMCONTROL::GetRect()
{
    LayoutIfNeeded();
    return object ? object->rect : RECT{0, 0, 0, 0};
}

void ANIMCONTROL::SetRect(const RECT* rect)
{
    if (!rect) {
        AutoSize();
        return;
    }
    autoSize = FALSE;
    if (object)
        object->SetRect(*rect);
}

SIZE ANIMCONTROL::GetSize()
{
    const RECT r = GetRect();
    return {r.right - r.left, r.bottom - r.top};
}

void ANIMCONTROL::SetSize(int cx, int cy)
{
    const POINT at = GetPosition();
    const RECT rect{at.x, at.y, at.x + cx, at.y + cy};
    SetRect(&rect);
}

void ANIMCONTROL::AutoSize()
{
    autoSize = TRUE;
    needsLayout = TRUE;
    LayoutIfNeeded();
}

POINT ANIMCONTROL::GetPosition()
{
    const RECT r = GetRect();
    return {r.left, r.top};
}

void ANIMCONTROL::SetPosition(int x, int y)
{
    LayoutIfNeeded();
    if (object)
        object->SetPosition(x, y);
}

int ANIMCONTROL::GetTextLength()
{
    return int(std::u16string_view(text.Wide()).size()) + 1;
}

string ANIMCONTROL::GetText()
{
    return text;
}

void ANIMCONTROL::SetText(const string& newText)
{
    text = newText;
    if (autoSize)
        needsLayout = TRUE;
    Invalidate();
}

Graphic* ANIMCONTROL::GetGraphic()
{
    return object ? object->CurrentGraphic() : nullptr;
}

void ANIMCONTROL::SetGraphic(Graphic* graphic)
{
    if (!object)
        return;
    // The control draws its graphic itself.
    object->SetGraphic(graphic, FALSE);
    if (autoSize)
        needsLayout = TRUE;
    Invalidate();
}

int ANIMCONTROL::GetId()
{
    return id;
}

void ANIMCONTROL::SetId(int newId)
{
    id = newId;
}

bool ANIMCONTROL::IsEnabled()
{
    return enabled != 0;
}

void ANIMCONTROL::Enable(bool fEnable)
{
    enabled = fEnable;
    Invalidate();
}

void ANIMCONTROL::Invalidate()
{
    LayoutIfNeeded();
    if (!object)
        return;
    object->Invalidate();
    if (repaintNow)
        object->window->PaintNow();
}

COLORREF ANIMCONTROL::GetColor(int i)
{
    if (i >= 0 && i < cColors)
        return colors[i];
    switch (i) {
    case kColorBackground: return GetSysColor(COLOR_BTNFACE);
    case kColorHighlight: return GetSysColor(COLOR_BTNHIGHLIGHT);
    case kColorShadow: return GetSysColor(COLOR_BTNSHADOW);
    case kColorFace: return GetSysColor(COLOR_BTNFACE);
    case kColorText: return GetSysColor(COLOR_WINDOWTEXT);
    default: return kNoColor;
    }
}

void ANIMCONTROL::SetColor(int i, COLORREF color)
{
    if (i < 0)
        return;
    const int old = cColors;
    if (i >= cColors) {
        if (!MEM_GROW_ARRAY(&colors, &cColors, i + 1, kColorsGrowBy))
            return;
        for (int k = old; k < cColors; ++k)
            colors[k] = kNoColor;
    }
    colors[i] = color;
    Invalidate();
}

void ANIMCONTROL::SetFocusControl(ANIMCONTROL* control)
{
    ANIMCONTROL* old = g_controls.focused;
    if (old == control)
        return;
    if (g_controls.captured && g_controls.captured != control)
        g_controls.captured->ReleaseCapture();
    g_controls.focused = control;
    if (old) {
        old->FocusLost();
        old->Invalidate();
    }
    if (control) {
        control->Invalidate();
        control->FocusGained();
    }
}

void ANIMCONTROL::TakeFocus()
{
    SetFocusControl(this);
}

bool ANIMCONTROL::HasCapture()
{
    return g_controls.captured == this;
}

void ANIMCONTROL::TakeCapture()
{
    if (g_controls.captured == this || !object)
        return;
    if (g_controls.captured)
        g_controls.captured->ReleaseCapture();
    g_controls.captured = this;
    g_controls.previousCapture = SetCapture(object->window->GetWindow());
}

void ANIMCONTROL::ReleaseCapture()
{
    if (g_controls.captured != this)
        return;
    g_controls.captured = nullptr;
    const HWND previous = g_controls.previousCapture;
    g_controls.previousCapture = nullptr;
    if (previous && IsWindow(previous))
        SetCapture(previous);
    else
        ::ReleaseCapture();
}

void ANIMCONTROL::DrawFocusRect(HDC hdc, const RECT& rect)
{
    ::DrawFocusRect(hdc, &rect);
}

void ANIMCONTROL::DrawEdge(HDC hdc, const RECT& rect, UINT edge, UINT sides)
{
    RECT r = rect;
    ::DrawEdge(hdc, &r, edge, sides);
}

void ANIMCONTROL::FocusGained() { }

void ANIMCONTROL::FocusLost() { }

void ANIMCONTROL::SetFont(HFONT newFont)
{
    font = newFont;
    if (autoSize)
        needsLayout = TRUE;
    Invalidate();
}

SIZE ANIMCONTROL::TextExtent(const string& measured) const
{
    SIZE size{0, 0};
    const std::u16string_view wide(measured.Wide());
    if (wide.empty())
        return size;
    if (HDC hdc = ::GetDC(nullptr)) {
        HGDIOBJ old = SelectObject(hdc, font);
        GetTextExtentPoint32W(hdc, wide.data(), int(wide.size()), &size);
        SelectObject(hdc, old);
        ::ReleaseDC(nullptr, hdc);
    }
    return size;
}

void ANIMCONTROL::FillPart(HDC hdc, const RECT& rect, COLORREF color) const
{
    if (color == kNoColor)
        return;
    if (HBRUSH brush = CreateSolidBrush(color)) {
        FillRect(hdc, &rect, brush);
        DeleteObject(brush);
    }
}

void ANIMCONTROL::DrawLabel(HDC hdc, const RECT& rect, UINT format)
{
    RECT r = rect;
    HGDIOBJ old = SelectObject(hdc, font);
    SetTextColor(hdc, GetColor(kColorText));
    SetBkMode(hdc, TRANSPARENT);
    DrawTextW(hdc, text.Wide(), -1, &r, format | DT_NOPREFIX);
    SelectObject(hdc, old);
}

void ANIMCONTROL::DrawClipped(Graphic* image, Graphic* target, POINT origin, const RECT& part)
{
    const RECT area{origin.x, origin.y, origin.x + image->GetWidth(), origin.y + image->GetHeight()};
    const RECT r = RectIntersection(area, part);
    if (!RectIsEmpty(r))
        image->DrawTo(target, r.left, r.top, r.left - origin.x, r.top - origin.y, r.right - r.left, r.bottom - r.top);
}
