#include "aux_control.h"
#include "cea_graphic.h"
#include "cea_window.h"
#include "memmgr.h"

ANIMTEXT::ANIMTEXT(AnimWindow* window, int layer, DWORD textStyle, const string& caption) :
    ANIMCONTROL(window, layer, kControlText), style(textStyle)
{
    text = caption;
}

ANIMTEXT* ANIMTEXT::Create(AnimWindow* window, int layer, DWORD style, const string& text)
{
    return MEM_NEW(ANIMTEXT, window, layer, style, text);
}

void ANIMTEXT::Destroy()
{
    ANIMCONTROL::Destroy();
    MEM_DELETE(this);
}

void ANIMTEXT::SetStyle(DWORD newStyle)
{
    style = newStyle;
    Invalidate();
}

bool ANIMTEXT::HitTest(POINT)
{
    return false;
}

void ANIMTEXT::Layout()
{
    const SIZE size = TextExtent(text);
    if (object && size.cx > 0)
        object->SetSize(size.cx, size.cy);
}

void ANIMTEXT::Draw(Graphic* target, const RECT& part)
{
    if (!object)
        return;
    HDC hdc = target->GetDC();
    if (!hdc)
        return;
    IntersectClipRect(hdc, part.left, part.top, part.right, part.bottom);
    FillPart(hdc, object->rect, GetColor(kColorBackground));
    UINT format = style & kTextRight ? DT_RIGHT : style & kTextCentre ? DT_CENTER : DT_LEFT;
    format |= style & kTextWrap ? DT_WORDBREAK : DT_SINGLELINE | DT_VCENTER;
    DrawLabel(hdc, object->rect, format);
    SelectClipRgn(hdc, nullptr);
    target->ReleaseDC();
}
