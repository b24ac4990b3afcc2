#include "cea_object.h"

#include "cea_dirty.h"
#include "cea_graphic.h"
#include "cea_sprite.h"
#include "cea_window.h"
#include "memmgr.h"

namespace {

constexpr int kDataGrowBy = 8;

} // namespace

ANIMOBJECT* ANIMOBJECT::New(AnimWindow* window, int layer)
{
    auto* object = static_cast<ANIMOBJECT*>(MEM_ALLOC(sizeof(ANIMOBJECT), "ANIMOBJECT"));
    if (!object)
        return nullptr;
    *object = {};
    object->window = window;
    object->layer = layer;
    if (!window->LinkAtBack(object)) {
        MEM_FREE(object);
        return nullptr;
    }
    return object;
}

ANIMOBJECT* ANIMOBJECT::Create(AnimWindow* window, Graphic* graphic, int layer)
{
    ANIMOBJECT* object = New(window, layer);
    if (object)
        object->SetGraphic(graphic, TRUE);
    return object;
}

ANIMOBJECT* ANIMOBJECT::Create(AnimWindow* window, Sprite* sprite, int layer)
{
    ANIMOBJECT* object = New(window, layer);
    if (object)
        object->SetSprite(sprite, TRUE);
    return object;
}

ANIMOBJECT* ANIMOBJECT::Create(AnimWindow* window, ANIMOBJECTPROC callback, int layer)
{
    ANIMOBJECT* object = New(window, layer);
    if (object) {
        object->callback = callback;
        object->Send(kObjCreated);
    }
    return object;
}

void ANIMOBJECT::Destroy()
{
    Send(kObjDestroying);
    Invalidate();
    // Moves still scheduled would reach a freed object, and so would application events about
    // it (a pending delete would free it twice).
    window->UnscheduleObject(this);
    window->UnscheduleParam(reinterpret_cast<LPARAM>(this));
    window->Unlink(this);
    MEM_FREE(data);
    MEM_FREE(this);
}

void ANIMOBJECT::MoveToWindow(AnimWindow* other)
{
    if (other == window)
        return;
    Invalidate();
    window->UnscheduleObject(this);
    window->Unlink(this);
    window = other;
    window->LinkAtBack(this);
    Invalidate();
}

void ANIMOBJECT::SetLayer(int newLayer)
{
    Invalidate();
    window->Unlink(this);
    layer = newLayer;
    window->LinkAtBack(this);
    Invalidate();
}

void ANIMOBJECT::InFrontOf(ANIMOBJECT* other)
{
    if (other == this || other->window != window)
        return;
    window->Unlink(this);
    window->LinkBefore(this, other);
    Invalidate();
}

void ANIMOBJECT::Behind(ANIMOBJECT* other)
{
    if (other == this || other->window != window)
        return;
    window->Unlink(this);
    window->LinkAfter(this, other);
    Invalidate();
}

void ANIMOBJECT::ToFront()
{
    if (ANIMOBJECT* first = window->FirstObject(); first && first != this)
        InFrontOf(first);
}

void ANIMOBJECT::ToBack()
{
    if (ANIMOBJECT* back = window->LastObject(); back && back != this)
        Behind(back);
}

void ANIMOBJECT::SetFlags(DWORD newFlags)
{
    Invalidate();
    flags = newFlags;
    Invalidate();
}

Graphic* ANIMOBJECT::CurrentGraphic() const
{
    return sprite ? sprite->FrameFor(window) : graphic;
}

void ANIMOBJECT::SetImage(Graphic* newGraphic, Sprite* newSprite, BOOL fAutoDraw)
{
    Invalidate();
    graphic = newGraphic;
    sprite = newSprite;
    const Graphic* image = sprite ? sprite->Frame(0) : graphic;
    if (sprite || graphic) {
        autoDraw = fAutoDraw;
        const int cx = image ? image->GetWidth() : 0;
        const int cy = image ? image->GetHeight() : 0;
        if (cx > 0 && cy > 0)
            rect = {rect.left, rect.top, rect.left + cx, rect.top + cy};
    } else {
        autoDraw = FALSE;
    }
    Invalidate();
}

void ANIMOBJECT::SetGraphic(Graphic* newGraphic, BOOL fAutoDraw)
{
    SetImage(newGraphic, nullptr, fAutoDraw);
}

void ANIMOBJECT::SetSprite(Sprite* newSprite, BOOL fAutoDraw)
{
    SetImage(nullptr, newSprite, fAutoDraw);
}

void ANIMOBJECT::SetRect(const RECT& newRect)
{
    if (IsStatic())
        return;
    if (newRect.left == rect.left && newRect.top == rect.top && newRect.right == rect.right && newRect.bottom == rect.bottom)
        return;
    Invalidate();
    rect = newRect;
    Invalidate();
}

void ANIMOBJECT::Invalidate()
{
    window->Invalidate(&rect, IsStatic());
}

void ANIMOBJECT::SetCallback(ANIMOBJECTPROC function)
{
    callback = function;
    if (!function)
        autoDraw = TRUE;
    else if (!graphic && !sprite)
        autoDraw = FALSE;
}

bool ANIMOBJECT::DrawsAnimatedSprite() const
{
    return sprite && autoDraw && sprite->FrameCount() > 1;
}

LRESULT ANIMOBJECT::Send(UINT message, void* messageData)
{
    if (message == kObjUpdate && DrawsAnimatedSprite())
        Invalidate();
    return callback ? callback(this, message, messageData) : 1;
}

UINT_PTR ANIMOBJECT::GetData(int i) const
{
    return i >= 0 && i < cData ? data[i] : 0;
}

bool ANIMOBJECT::SetData(int i, UINT_PTR value)
{
    if (i < 0 || (i >= cData && !MEM_GROW_ARRAY(&data, &cData, i + 1, kDataGrowBy)))
        return false;
    data[i] = value;
    return true;
}

void ANIMOBJECT::Draw(Graphic* target, const RECT& clip)
{
    const RECT part = RectIntersection(rect, clip);
    if (RectIsEmpty(part))
        return;
    Graphic* image = CurrentGraphic();
    if (image && autoDraw) {
        image->DrawTo(target, part.left, part.top, part.left - rect.left, part.top - rect.top, part.right - part.left,
                      part.bottom - part.top);
        return;
    }
    ANIMDRAW draw{target, part};
    Send(kObjDraw, &draw);
}

void DrawImageAt(const ANIMDRAW& draw, Graphic* image, int x, int y)
{
    if (!image)
        return;
    const RECT area{x, y, x + image->GetWidth(), y + image->GetHeight()};
    const RECT r = RectIntersection(area, draw.rect);
    if (!RectIsEmpty(r))
        image->DrawTo(draw.target, r.left, r.top, r.left - x, r.top - y, r.right - r.left, r.bottom - r.top);
}
