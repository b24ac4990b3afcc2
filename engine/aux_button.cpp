#include "aux_control.h"
#include "cea_dirty.h"
#include "cea_graphic.h"
#include "cea_window.h"
#include "memmgr.h"

#include <algorithm>

namespace {

constexpr WORD kReleaseHookPriority = 99; // before the control hook lets the capture go
constexpr WORD kTrackingHookPriority = 101;
constexpr int kBoxSize = 13;
constexpr int kBoxTextOffset = 21;

POINT MessagePoint(AnimWindow* window)
{
    const DWORD pos = GetMessagePos();
    POINT point{GET_X_LPARAM(pos), GET_Y_LPARAM(pos)};
    ScreenToClient(window->GetWindow(), &point);
    return point;
}

// The focused control when it is a button that holds the capture.
ANIMBUTTON* CapturingButton()
{
    ANIMCONTROL* control = ANIMCONTROL::Focused();
    if (!control || control->Kind() != kControlButton || !control->HasCapture())
        return nullptr;
    return static_cast<ANIMBUTTON*>(control);
}

BOOL TrackingHook(AnimWindow* window, UINT message, WPARAM, LPARAM)
{
    if (message == WM_MOUSEMOVE || message == WM_LBUTTONDOWN)
        if (ANIMBUTTON* button = CapturingButton())
            button->Track(MessagePoint(window));
    return FALSE;
}

BOOL ReleaseHook(AnimWindow* window, UINT message, WPARAM, LPARAM)
{
    if (message == WM_LBUTTONUP)
        if (ANIMBUTTON* button = CapturingButton())
            button->Release(MessagePoint(window));
    return FALSE;
}

bool Contains(const RECT& rect, POINT point)
{
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top && point.y < rect.bottom;
}

} // namespace

ANIMBUTTON::ANIMBUTTON(AnimWindow* window, int buttonId, DWORD buttonStyle, int layer, const string& caption) :
    ANIMCONTROL(window, layer, kControlButton), notifyProc(nullptr), caller(nullptr), pressed(FALSE), checked(FALSE), style(buttonStyle),
    normalImage(nullptr), pressedImage(nullptr), postDraw(nullptr), customHandler(nullptr)
{
    id = buttonId;
    text = caption;
    if (object) {
        window->AddHook(ReleaseHook, kHookMouse, kReleaseHookPriority);
        window->AddHook(TrackingHook, kHookMouse, kTrackingHookPriority);
    }
}

ANIMBUTTON* ANIMBUTTON::Create(AnimWindow* window, int id, DWORD style, int layer, const string& text)
{
    return MEM_NEW(ANIMBUTTON, window, id, style, layer, text);
}

void ANIMBUTTON::Destroy()
{
    if (object) {
        object->window->RemoveHook(ReleaseHook);
        object->window->RemoveHook(TrackingHook);
    }
    ANIMCONTROL::Destroy();
    MEM_DELETE(this);
}

void ANIMBUTTON::SetNotify(WNDPROC proc, HWND hwnd)
{
    notifyProc = proc;
    caller = hwnd;
}

void ANIMBUTTON::SetImages(Graphic* normal, Graphic* pressedLook)
{
    normalImage = normal;
    pressedImage = pressedLook;
    if (autoSize)
        needsLayout = TRUE;
    Invalidate();
}

void ANIMBUTTON::SetStyle(DWORD newStyle)
{
    style = newStyle;
    if (autoSize)
        needsLayout = TRUE;
    Invalidate();
}

void ANIMBUTTON::SetChecked(bool fChecked)
{
    if (bool(checked) == fChecked)
        return;
    checked = fChecked;
    Invalidate();
}

void ANIMBUTTON::Notify(WORD notification)
{
    if (notifyProc)
        notifyProc(caller, WM_COMMAND, MAKEWPARAM(WORD(id), notification), reinterpret_cast<LPARAM>(this));
}

void ANIMBUTTON::SetPressed(bool fPressed)
{
    if (bool(pressed) == fPressed)
        return;
    pressed = fPressed;
    Notify(fPressed ? kButtonPressed : kButtonReleased);
    Invalidate();
}

void ANIMBUTTON::Track(POINT point)
{
    SetPressed(object && Contains(object->rect, point) && enabled);
}

void ANIMBUTTON::Release(POINT point)
{
    SetPressed(false);
    Invalidate();
    if (object && Contains(object->rect, point) && enabled)
        Click();
}

void ANIMBUTTON::Click()
{
    const DWORD behaviour = style & 0xF0;
    if (behaviour == kButtonAutoToggle) {
        SetChecked(!checked);
    } else if (behaviour == kButtonAutoRadio && !checked && object) {
        for (ANIMOBJECT* other = object->window->FirstObject(); other; other = other->next) {
            ANIMCONTROL* control = FromObject(other);
            if (control && control->Kind() == kControlButton) {
                auto* button = static_cast<ANIMBUTTON*>(control);
                if (HIWORD(button->style) == HIWORD(style))
                    button->SetChecked(false);
            }
        }
        SetChecked(true);
    }
    Notify(kButtonClicked);
}

void ANIMBUTTON::FocusLost()
{
    if (pressed) {
        pressed = FALSE;
        Invalidate();
    }
}

LRESULT ANIMBUTTON::PreHandle(UINT message, void* data)
{
    if (message == kObjUpdate)
        FollowHover();
    return customHandler ? customHandler(object, message, data) : 1;
}

bool ANIMBUTTON::ShowsHoverFace()
{
    return enabled && (pressed || checked || PointerOver());
}

// A hover-style button takes the focus while its face shows and gives it up when it does not.
// This runs in the update pass, before the painter walks the dirty regions, so that the
// invalidations the focus change makes are painted in this same frame.
void ANIMBUTTON::FollowHover()
{
    if (!(style & kButtonHover) || (style & kButtonKindMask) != kButtonPush || customHandler || normalImage || pressedImage)
        return;
    const bool fFace = ShowsHoverFace();
    if (fFace && !HasFocus())
        TakeFocus();
    else if (!fFace && HasFocus())
        SetFocusControl(nullptr);
}

bool ANIMBUTTON::HitTest(POINT)
{
    return customHandler || enabled;
}

void ANIMBUTTON::Layout()
{
    if (!object)
        return;
    if (normalImage || pressedImage) {
        const int cx = std::max(normalImage ? normalImage->GetWidth() : 0, pressedImage ? pressedImage->GetWidth() : 0);
        const int cy = std::max(normalImage ? normalImage->GetHeight() : 0, pressedImage ? pressedImage->GetHeight() : 0);
        object->SetSize(cx, cy);
        return;
    }
    const bool fPush = (style & kButtonKindMask) == kButtonPush;
    const SIZE textSize = TextExtent(text);
    SIZE imageSize{0, 0};
    if (!fPush) {
        imageSize = {kBoxSize, kBoxSize};
    } else if (const Graphic* graphic = object->CurrentGraphic()) {
        imageSize = {graphic->GetWidth(), graphic->GetHeight()};
    }
    int cx = 2 + (fPush ? 5 : 0) + textSize.cx + imageSize.cx;
    if (textSize.cx > 0 && imageSize.cx > 0)
        cx += 8;
    const int cy = (fPush ? 7 : 0) + std::max(textSize.cy, imageSize.cy);
    object->SetSize(cx, cy);
}

bool ANIMBUTTON::PointerOver()
{
    return HasCapture() || (object && Contains(object->rect, MessagePoint(object->window)));
}

void ANIMBUTTON::Draw(Graphic* target, const RECT& part)
{
    if (customHandler || !object)
        return;
    HDC hdc = target->GetDC();
    if (!hdc)
        return;
    IntersectClipRect(hdc, part.left, part.top, part.right, part.bottom);
    const RECT r = object->rect;
    if ((style & kButtonKindMask) == kButtonPush) {
        DrawPush(target, hdc, part);
    } else {
        FillPart(hdc, r, GetColor(kColorBackground));
        const int top = r.top + (r.bottom - r.top - kBoxSize) / 2;
        DrawBox(hdc, {r.left, top, r.left + kBoxSize, top + kBoxSize});
        const RECT textRect{r.left + kBoxTextOffset, r.top, r.right, r.bottom};
        DrawLabel(hdc, textRect, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
        if (HasFocus() && !text.IsEmpty()) {
            const SIZE size = TextExtent(text);
            const int y = r.top + (r.bottom - r.top - size.cy) / 2;
            ANIMCONTROL::DrawFocusRect(hdc, {textRect.left - 1, y - 1, textRect.left + size.cx + 1, y + size.cy + 1});
        }
    }
    SelectClipRgn(hdc, nullptr);
    target->ReleaseDC();
    if (postDraw) {
        ANIMDRAW draw{target, part};
        postDraw(object, kObjDraw, &draw);
    }
}

// A 13-pixel box: a square for check buttons, a diamond-cornered one for radio buttons, with a
// filled mark inside when checked.
void ANIMBUTTON::DrawBox(HDC hdc, const RECT& box)
{
    FillPart(hdc, box, GetSysColor(COLOR_BTNSHADOW));
    const RECT inside{box.left + 1, box.top + 1, box.right - 1, box.bottom - 1};
    FillPart(hdc, inside, RGB(255, 255, 255));
    if ((style & kButtonKindMask) == kButtonRadio) {
        // Round the corners off.
        const COLORREF background = GetColor(kColorBackground);
        for (const RECT& corner :
             {RECT{box.left, box.top, box.left + 2, box.top + 2}, RECT{box.right - 2, box.top, box.right, box.top + 2},
              RECT{box.left, box.bottom - 2, box.left + 2, box.bottom}, RECT{box.right - 2, box.bottom - 2, box.right, box.bottom}})
            FillPart(hdc, corner, background);
    }
    // The mark is dark whatever the text colour: the box itself is always white.
    if (checked || pressed)
        FillPart(hdc, {box.left + 3, box.top + 3, box.right - 3, box.bottom - 3}, checked ? RGB(0, 0, 0) : GetSysColor(COLOR_BTNSHADOW));
}

void ANIMBUTTON::DrawPush(Graphic* target, HDC hdc, const RECT& part)
{
    const RECT r = object->rect;
    const bool fPushed = pressed || checked;
    if (normalImage || pressedImage) {
        Graphic* image = fPushed && pressedImage ? pressedImage : normalImage;
        if (image)
            DrawClipped(image, target, {r.left, r.top}, part);
        return;
    }
    const bool fFace = !(style & kButtonHover) || ShowsHoverFace();
    if (fFace) {
        FillPart(hdc, r, GetColor(kColorFace));
        ANIMCONTROL::DrawEdge(hdc, r, fPushed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    }
    const int offset = fPushed ? 1 : 0;
    int x = r.left + 3 + offset;
    const int y = r.top + 3 + offset;
    if (Graphic* graphic = object->CurrentGraphic()) {
        const RECT room{x, y, x + r.right - r.left - 7, y + r.bottom - r.top - 7};
        DrawClipped(graphic, target, {x, y}, RectIntersection(room, part));
        x += graphic->GetWidth() + 8;
    }
    if (!text.IsEmpty()) {
        RECT textRect{x, r.top + offset, r.right - 1 + offset, r.bottom - 1 + offset};
        UINT format = DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
        if (style & kButtonCentred) {
            textRect.left = r.left + 1 + offset;
            format |= DT_CENTER;
        }
        DrawLabel(hdc, textRect, format);
    }
    if (fFace && HasFocus())
        ANIMCONTROL::DrawFocusRect(hdc, {r.left + 2, r.top + 2, r.right - 2, r.bottom - 2});
}
