#include "skincontrol.h"

#include "cea_graphic.h"
#include "cea_object.h"
#include "cea_sprite.h"
#include "skingraphics.h"

#include <algorithm>

namespace {

constexpr int kControlDataSlot = 0;

struct KINDINFO {
    const char* image; // null: the kind needs none
    const char* control; // its name in messages
    const char* prefix; // per-control key prefix
    int layout; // default text layout
};

const KINDINFO kKinds[] = {
    {"pbutton", "push button", "pbutton", 1},
    {"rbutton", "radio button", "rbutton", 0},
    {"cbutton", "check box", "cbutton", 0},
    {nullptr, "text", nullptr, 0},
    {"pbar", "progress bar", nullptr, 0},
    {"hscroll", "scroll bar", nullptr, 0},
    {"vscroll", "scroll bar", nullptr, 0},
    {"edit", "edit field", "edit", 0},
    {"list", "list", "list", 0},
    {nullptr, "user", nullptr, 0},
    {nullptr, "frame button", nullptr, 0},
};

int LayoutOf(const std::string& text, int fallback)
{
    if (text == "left")
        return 0;
    if (text == "center" || text == "centre")
        return 1;
    if (text == "right")
        return 2;
    return fallback;
}

Graphic* FrameOf(Sprite* sprite, int i)
{
    if (!sprite || sprite->FrameCount() == 0)
        return nullptr;
    return sprite->Frame(std::min(i, sprite->FrameCount() - 1));
}

void DrawPicture(const SKINCONTROL* c, Graphic* target, const RECT& part)
{
    Graphic* picture = FrameOf(c->g.picture, 0);
    if (!picture)
        return;
    const int cy = c->rect.bottom - c->rect.top;
    if (c->g.pictureSize > 0 && (picture->GetWidth() != c->g.pictureSize || picture->GetHeight() != c->g.pictureSize)) {
        const int size = c->g.pictureSize;
        const int x = c->rect.left + c->g.pictureX, y = c->rect.top + (cy - size) / 2;
        const RECT r{std::max<LONG>(x, part.left), std::max<LONG>(y, part.top), std::min<LONG>(x + size, part.right),
                     std::min<LONG>(y + size, part.bottom)};
        if (r.left < r.right && r.top < r.bottom)
            picture->StretchTo(target, x, y, size, size, 0, 0, picture->GetWidth(), picture->GetHeight());
        return;
    }
    SkinDraw(picture, target, c->rect.left + c->g.pictureX, c->rect.top + (cy - picture->GetHeight()) / 2, part);
}

void DrawControl(SKINCONTROL* c, Graphic* target, const RECT& part)
{
    SKINWINDOW* window = c->pane->Window();
    SKINTEXTOPTIONS text;
    text.fontSpec = c->g.fontSpec;
    text.color = c->enabled ? (c->checked && c->kind == SKIN_LIST ? c->g.selectedText : c->g.text) : c->g.disabledText;
    text.layout = c->g.textLayout;
    RECT inner{c->rect.left + c->g.border.left, c->rect.top + c->g.border.top, c->rect.right - c->g.border.right,
               c->rect.bottom - c->g.border.bottom};
    const int state = !c->enabled ? 3 : c->pressed ? 2 : c->hover ? 1 : 0;
    switch (c->kind) {
    case SKIN_PBUTTON:
    case SKIN_EDIT:
    case SKIN_LIST:
        SkinThreeSlice(FrameOf(c->g.image, c->kind == SKIN_PBUTTON ? state : 0), target, c->rect, part);
        DrawPicture(c, target, part);
        text.vcentre = c->kind != SKIN_LIST;
        c->links = SkinDrawText(window, target, c->text, inner, part, text);
        break;
    case SKIN_RBUTTON:
    case SKIN_CBUTTON: {
        Graphic* box = FrameOf(c->g.image, (c->checked ? 1 : 0) + (c->hover ? 2 : 0));
        if (box)
            SkinDraw(box, target, c->rect.left, c->rect.top + (c->rect.bottom - c->rect.top - box->GetHeight()) / 2, part);
        text.vcentre = true;
        c->links = SkinDrawText(window, target, c->text, inner, part, text);
        break;
    }
    case SKIN_PBAR: {
        SkinThreeSlice(FrameOf(c->g.image, 0), target, c->rect, part);
        RECT filled = part;
        filled.right = std::min<LONG>(part.right, c->rect.left + (c->rect.right - c->rect.left) * c->position / 100);
        if (c->position > 0 && filled.left < filled.right)
            SkinThreeSlice(FrameOf(c->g.image, 1), target, c->rect, filled);
        break;
    }
    case SKIN_HSCROLL:
    case SKIN_VSCROLL: SkinTile(FrameOf(c->g.image, 0), target, c->rect, part); break;
    case SKIN_FRAMEBUTTON: SkinDraw(FrameOf(c->g.image, state == 3 ? 0 : state), target, c->rect.left, c->rect.top, part); break;
    case SKIN_USER: DrawPicture(c, target, part); break;
    case SKIN_TEXT: c->links = SkinDrawText(window, target, c->text, inner, part, text); break;
    }
}

LRESULT ControlProc(ANIMOBJECT* object, UINT message, void* data)
{
    auto* control = reinterpret_cast<SKINCONTROL*>(object->GetData(kControlDataSlot));
    if (!control)
        return 0;
    switch (message) {
    case kObjDraw: {
        const auto* draw = static_cast<ANIMDRAW*>(data);
        DrawControl(control, draw->target, draw->rect);
        return 1;
    }
    case kObjHitTest: return 0; // input goes through the skin window, not the engine's hooks
    default: return 0;
    }
}

} // namespace

const char* SkinKindName(SKINKIND kind)
{
    return kKinds[kind].image ? kKinds[kind].image : kKinds[kind].control;
}

const char* SkinKindControlName(SKINKIND kind)
{
    return kKinds[kind].control;
}

void SkinControlGraphics(SKINWINDOW* window, SKINCONTROL* c)
{
    SKIN* skin = window->Skin();
    const KINDINFO& k = kKinds[c->kind];
    if (k.image)
        c->g.image = skin->Require(k.control, k.image);
    const char* p = k.prefix;
    c->g.fontSpec = skin->Value(p, "font", "Arial,-14");
    c->g.text = skin->Color(p, "text color", RGB(0, 0, 0));
    c->g.disabledText = skin->Color(p, "disabled text color", RGB(0x80, 0x80, 0x80));
    c->g.selectedText = skin->Color(p, "selected text color", c->g.text);
    const int all = skin->Number(p, "text border", 0);
    const int xb = skin->Number(p, "text xborder", all), yb = skin->Number(p, "text yborder", all);
    c->g.border = RECT{skin->Number(p, "text lborder", xb), skin->Number(p, "text tborder", yb), skin->Number(p, "text rborder", xb),
                       skin->Number(p, "text bborder", yb)};
    c->g.textLayout = LayoutOf(skin->Value(p, "text layout", ""), k.layout);
}

bool SkinControlObject(SKINWINDOW* window, SKINCONTROL* c)
{
    c->object = ANIMOBJECT::Create(window->Anim(), ControlProc, 10);
    if (!c->object)
        return false;
    c->object->SetData(kControlDataSlot, reinterpret_cast<UINT_PTR>(c));
    c->object->SetRect(c->rect);
    return true;
}
