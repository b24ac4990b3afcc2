#include "skinwindow.h"

#include "cea_graphic.h"
#include "cea_object.h"
#include "cea_sprite.h"
#include "cea_window.h"
#include "font.h"
#include "language.h"
#include "skincontrol.h"
#include "skingraphics.h"
#include "skinregion.h"
#include "trace.h"
#include "utf.h"

#include "shellapi.h"

#include <algorithm>

WNDPROC SkinAnimProc();

namespace {

constexpr DWORD kEndModalEvent = 0x5EED;
constexpr int kDialogBaseX = 7;
constexpr int kDialogBaseY = 15;

SKINWINDOW* FromHwnd(HWND hwnd)
{
    return reinterpret_cast<SKINWINDOW*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

LRESULT AnimCallback(AnimWindow* anim, UINT code, WPARAM a, LPARAM b)
{
    auto* window = reinterpret_cast<SKINWINDOW*>(anim->GetUserSlot(0));
    if (code == kAnimEvent && a == kEndModalEvent)
        return 0;
    if (code == kAnimBackground && window)
        window->Paint(reinterpret_cast<Graphic*>(b));
    return 1;
}

bool LoadTemplate(int id, SKINTEMPLATE& out)
{
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5));
    HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    return data && ReadSkinTemplate(data, SizeofResource(nullptr, found), out);
}

SKINTEMPLATE TemplateOrThrow(int id)
{
    SKINTEMPLATE t;
    if (!LoadTemplate(id, t))
        throw SKINERROR("dialog " + std::to_string(id) + " is missing or damaged");
    return t;
}

} // namespace

LRESULT CALLBACK SkinWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    SKINWINDOW* window = FromHwnd(hwnd);
    if (window && window->Anim()) {
        switch (message) {
        case WM_COMMAND:
        case WM_CLOSE:
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_KEYDOWN:
            window->Handle(message, wParam, lParam);
            if (message == WM_CLOSE)
                return 0;
            break;
        default: break;
        }
    }
    return SkinAnimProc()(hwnd, message, wParam, lParam);
}

// Panes

SKINPANE::SKINPANE(SKINWINDOW* owner, SKINHANDLER h, int id) : window(owner), handler(h), dialogId(id) { }

SKINPANE::~SKINPANE()
{
    DestroyControls();
}

void SKINPANE::DestroyControls()
{
    for (SKINCONTROL* c : controls) {
        if (c->object) {
            c->object->Invalidate();
            c->object->Destroy();
        }
        delete c;
    }
    controls.clear();
}

SKINCONTROL* SKINPANE::Control(int id) const
{
    for (SKINCONTROL* c : controls)
        if (c->id == id)
            return c;
    return nullptr;
}

void SKINPANE::Build(const SKINTEMPLATE& tmpl, POINT origin)
{
    std::vector<SKINITEM> items = tmpl.items;
    std::vector<SKINKIND> kinds;
    for (SKINITEM& item : items)
        kinds.push_back(SkinKindOf(item));
    std::set<int> used;
    std::vector<std::string> problems;
    AssignSkinIds(items, dialogId, window->IdsBesides(this), used, problems);
    for (const std::string& problem : problems)
        Trace("skin: %s", problem.c_str());
    if (!problems.empty())
        throw SKINERROR(problems.front());
    int group = 0;
    bool lastWasRadio = false;
    for (size_t i = 0; i < items.size(); ++i) {
        auto* c = new SKINCONTROL;
        controls.push_back(c);
        c->pane = this;
        c->kind = kinds[i];
        c->id = items[i].id;
        c->text = items[i].text;
        c->enabled = !(items[i].style & WS_DISABLED);
        const POINT tl = window->DialogToPixels({items[i].rect.left, items[i].rect.top});
        const POINT br = window->DialogToPixels({items[i].rect.right, items[i].rect.bottom});
        c->rect = RECT{origin.x + tl.x, origin.y + tl.y, origin.x + br.x, origin.y + br.y};
        if (c->kind == SKIN_RBUTTON) {
            if (!lastWasRadio || (items[i].style & WS_GROUP))
                ++group;
            c->group = group;
        }
        lastWasRadio = c->kind == SKIN_RBUTTON;
        SkinControlGraphics(window, c);
        if (!SkinControlObject(window, c))
            throw SKINERROR("out of memory");
    }
}

void SKINPANE::SetText(int id, const std::string& text)
{
    if (SKINCONTROL* c = Control(id)) {
        c->text = text;
        c->object->Invalidate();
    }
}

void SKINPANE::SetCheck(int id, bool checked)
{
    if (SKINCONTROL* c = Control(id)) {
        c->checked = checked;
        c->object->Invalidate();
    }
}

bool SKINPANE::GetCheck(int id) const
{
    const SKINCONTROL* c = Control(id);
    return c && c->checked;
}

void SKINPANE::SetPosition(int id, int percent)
{
    if (SKINCONTROL* c = Control(id)) {
        c->position = std::clamp(percent, 0, 100);
        c->object->Invalidate();
    }
}

void SKINPANE::SetPicture(int id, Sprite* picture, int x, int size)
{
    if (SKINCONTROL* c = Control(id)) {
        c->g.picture = picture;
        c->g.pictureX = x;
        c->g.pictureSize = size;
        c->object->Invalidate();
    }
}

void SKINPANE::Enable(int id, bool enabled)
{
    if (SKINCONTROL* c = Control(id)) {
        c->enabled = enabled;
        c->object->Invalidate();
    }
}

// Windows

SKINWINDOW::SKINWINDOW(SKIN* s, const std::string& t, SKINHANDLER h, int baseDialogId) :
    SKINPANE(this, h, baseDialogId + CurrentLanguageIndex()), skin(s)
{
    Create(TemplateOrThrow(dialogId), t);
}

SKINWINDOW::SKINWINDOW(SKIN* s, const SKINTEMPLATE& tmpl, SKINHANDLER h) : SKINPANE(this, h, 0), skin(s)
{
    Create(tmpl, tmpl.caption);
}

void SKINWINDOW::Create(const SKINTEMPLATE& tmpl, const std::string& t)
{
    title = tmpl.caption.empty() ? t : tmpl.caption;
    framePicture = title + " Frame";
    const int all = skin->Number(nullptr, "frame border", 0);
    const int xb = skin->Number(nullptr, "frame xborder", all), yb = skin->Number(nullptr, "frame yborder", all);
    borders = RECT{skin->Number(nullptr, "frame lborder", xb), skin->Number(nullptr, "frame tborder", yb),
                   skin->Number(nullptr, "frame rborder", xb), skin->Number(nullptr, "frame bborder", yb)};
    borders.top += skin->Number(nullptr, "titlebar height", 0);
    for (const char* name : {"background", "frame-c", "frame-lr", "frame-tb"})
        skin->Require("window", name);
    const POINT size = DialogToPixels({tmpl.rect.right - tmpl.rect.left, tmpl.rect.bottom - tmpl.rect.top});
    const int cx = size.x + borders.left + borders.right, cy = size.y + borders.top + borders.bottom;
    hwnd = CreateWindowExW(0, u"SkinWindow", Utf8ToUtf16(title).c_str(), WS_POPUP, 0, 0, cx, cy, nullptr, nullptr, nullptr, this);
    anim = hwnd ? AnimWindow::FromWindow(hwnd) : nullptr;
    if (!anim)
        throw SKINERROR("the skin window cannot be created");
    anim->SetUserSlot(0, reinterpret_cast<UINT_PTR>(this));
    anim->SetCallback(AnimCallback);
    anim->SetFrameRate(std::max(1, skin->Number(nullptr, "frames per second", 10)));
    CentreOnWorkArea();
    Shape();
    // The frame's buttons.
    auto frameButton = [&](int id, const char* image, int right) {
        Sprite* sprite = skin->Require("window", image);
        auto* c = new SKINCONTROL;
        c->pane = this;
        c->kind = SKIN_FRAMEBUTTON;
        c->id = id;
        c->g.image = sprite;
        const int w = sprite->GetWidth(), h = sprite->GetHeight();
        const int top = std::max(0, (int(borders.top) - h) / 2);
        c->rect = RECT{cx - right - w, top, cx - right, top + h};
        controls.push_back(c);
        SkinControlObject(this, c);
        return w;
    };
    int right = borders.right;
    if (tmpl.style & WS_SYSMENU)
        right += frameButton(kSkinCloseId, "frame-x", right) + 2;
    if (tmpl.style & WS_MINIMIZEBOX)
        frameButton(kSkinMinimiseId, "frame-min", right);
    Build(tmpl, POINT{borders.left, borders.top});
    handler(this, WM_INITDIALOG, 0, 0);
    handler(this, WM_SKINREADY, 0, 0);
}

SKINWINDOW::~SKINWINDOW()
{
    if (hwnd && IsWindow(hwnd)) {
        handler(this, WM_DESTROY, 0, 0);
        DestroyControls();
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        DestroyWindow(hwnd);
    }
    for (auto& [spec, font] : fonts)
        DeleteObject(font);
}

RECT SKINWINDOW::Inner() const
{
    RECT r{};
    GetClientRect(hwnd, &r);
    return RECT{borders.left, borders.top, r.right - borders.right, r.bottom - borders.bottom};
}

POINT SKINWINDOW::DialogToPixels(POINT du) const
{
    // Skins are laid out in the units of the dialogs' own 8-point font, whatever the system font.
    return POINT{LONG(du.x * kDialogBaseX / 4), LONG(du.y * kDialogBaseY / 8)};
}

HFONT SKINWINDOW::Font(const std::string& specification)
{
    auto it = fonts.find(specification);
    if (it != fonts.end())
        return it->second;
    HFONT font = CreateFontFromSpecification(specification);
    if (!font)
        font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    fonts[specification] = font;
    return font;
}

void SKINWINDOW::Paint(Graphic* target)
{
    PaintWith(target, RGB(0, 0, 0));
}

// outside: what shows where the frame is cut away (the window stays a rectangle on screen).
void SKINWINDOW::PaintWith(Graphic* target, COLORREF outside)
{
    if (!target)
        return;
    const RECT all{0, 0, target->GetWidth(), target->GetHeight()};
    if (HDC hdc = target->GetDC()) {
        HBRUSH key = CreateSolidBrush(outside);
        FillRect(hdc, &all, key);
        DeleteObject(key);
        HBRUSH back = CreateSolidBrush(skin->Color(nullptr, "background color", RGB(255, 255, 255)));
        RECT inner = Inner();
        FillRect(hdc, &inner, back);
        DeleteObject(back);
        target->ReleaseDC();
    }
    const RECT inner = Inner();
    Sprite* background = skin->Image("background");
    if (background && background->FrameCount()) {
        Graphic* g = background->Frame(0);
        const std::string layout = skin->Value(nullptr, "background layout", "tile");
        if (layout == "stretch")
            g->StretchTo(target, inner.left, inner.top, inner.right - inner.left, inner.bottom - inner.top, 0, 0, g->GetWidth(),
                         g->GetHeight());
        else if (layout == "center")
            SkinDraw(g, target, (inner.left + inner.right - g->GetWidth()) / 2, (inner.top + inner.bottom - g->GetHeight()) / 2, inner);
        else
            SkinTile(g, target, inner, inner);
    }
    SkinPaintFrame(skin, target);
    // A program's picture for this window, by the window's first title, in the top-left corner.
    if (Sprite* picture = skin->Image(framePicture); picture && picture->FrameCount())
        SkinDraw(picture->Frame(0), target, inner.left + 6, inner.top + 4, inner);
    if (const int titleHeight = skin->Number(nullptr, "titlebar height", 0)) {
        SKINTEXTOPTIONS options;
        options.fontSpec = skin->Value(nullptr, "titlebar font", "Arial,-16,B");
        options.color = skin->Color(nullptr, "titlebar text color", 0);
        options.vcentre = true;
        const RECT bar{borders.left, borders.top - titleHeight, inner.right, borders.top};
        SkinDrawText(this, target, title, bar, bar, options);
    }
}

void SKINWINDOW::Shape()
{
    Graphic buffer(anim->GetWidth(), anim->GetHeight(), 24);
    PaintWith(&buffer, skin->Transparent());
    if (HRGN outline = SkinRegionFromGraphic(&buffer, skin->Transparent()))
        SetWindowRgn(hwnd, outline, FALSE);
}

void SKINWINDOW::SetTitle(const std::string& t)
{
    title = t;
    SetWindowTextW(hwnd, Utf8ToUtf16(t).c_str());
    if (skin->Number(nullptr, "titlebar height", 0) && anim->GetBackground()) {
        Paint(anim->GetBackground());
        anim->Invalidate(nullptr, true);
    }
}

void SKINWINDOW::SuspendPainting(bool suspend)
{
    if (suspend)
        anim->BeginUpdate();
    else {
        anim->EndUpdate();
        anim->Invalidate(nullptr, true);
    }
}

void SKINWINDOW::CentreOnWorkArea()
{
    RECT r{};
    GetWindowRect(hwnd, &r);
    const int cx = r.right - r.left, cy = r.bottom - r.top;
    MoveWindow(hwnd, std::max(0, (GetSystemMetrics(SM_CXSCREEN) - cx) / 2), std::max(0, (GetSystemMetrics(SM_CYSCREEN) - cy) / 2), cx, cy,
               FALSE);
}

void SKINWINDOW::RemovePane(SKINPANE* pane)
{
    std::erase(panes, pane);
    if (hover && hover->pane == pane)
        hover = nullptr;
    if (pressed && pressed->pane == pane)
        pressed = nullptr;
}

std::vector<std::pair<long, std::set<int>>> SKINWINDOW::IdsBesides(const SKINPANE* pane) const
{
    std::vector<std::pair<long, std::set<int>>> out;
    std::vector<const SKINPANE*> all{this};
    all.insert(all.end(), panes.begin(), panes.end());
    for (const SKINPANE* p : all) {
        if (p == pane)
            continue;
        std::set<int> ids;
        for (const SKINCONTROL* c : p->Controls())
            if (c->kind != SKIN_FRAMEBUTTON)
                ids.insert(c->id);
        out.push_back({p->DialogId(), ids});
    }
    return out;
}

INT_PTR SKINWINDOW::RunModal()
{
    ShowWindow(hwnd, SW_SHOW);
    anim->Invalidate(nullptr, true);
    done = false;
    while (!done && IsWindow(hwnd))
        anim->Run(-1);
    return result;
}

void SKINWINDOW::EndModal(INT_PTR value)
{
    result = value;
    done = true;
    anim->ScheduleAppEvent(anim->GetCurrentFrame() + 1, kEndModalEvent, 0);
}

SKINCONTROL* SKINWINDOW::At(POINT p) const
{
    std::vector<const SKINPANE*> all(panes.rbegin(), panes.rend());
    all.push_back(this);
    for (const SKINPANE* pane : all)
        for (SKINCONTROL* c : pane->Controls())
            if (c->enabled && c->kind != SKIN_TEXT && c->kind != SKIN_PBAR && c->kind != SKIN_USER && PtInRect(&c->rect, p))
                return c;
    // Links inside text.
    for (const SKINPANE* pane : all)
        for (SKINCONTROL* c : pane->Controls())
            for (const auto& link : c->links)
                if (PtInRect(&link.first, p))
                    return c;
    return nullptr;
}

void SKINWINDOW::Route(int id)
{
    for (SKINPANE* pane : panes)
        if (pane->Control(id)) {
            pane->handler(pane, WM_COMMAND, WPARAM(id), 0);
            return;
        }
    handler(this, WM_COMMAND, WPARAM(id), 0);
}

void SKINWINDOW::Click(SKINCONTROL* c)
{
    switch (c->kind) {
    case SKIN_RBUTTON:
        for (SKINCONTROL* other : c->pane->Controls())
            if (other->kind == SKIN_RBUTTON && other->group == c->group && other->checked) {
                other->checked = false;
                other->object->Invalidate();
            }
        c->checked = true;
        break;
    case SKIN_CBUTTON: c->checked = !c->checked; break;
    case SKIN_LIST: c->checked = !c->checked; break;
    default: break;
    }
    c->object->Invalidate();
    Post(WM_COMMAND, WPARAM(c->id), 0);
}

LRESULT SKINWINDOW::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
    case WM_CLOSE: Post(WM_COMMAND, IDCANCEL, 0); return 0;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        // Controls' commands (high word 0, no lParam) go to the pane that owns the control;
        // everything else is the window's own.
        if (HIWORD(wParam) != 0 || lParam != 0)
            handler(this, WM_COMMAND, wParam, lParam);
        else if (id == kSkinCloseId)
            Post(WM_COMMAND, IDCANCEL, 0);
        else if (id == kSkinMinimiseId)
            ShowWindow(hwnd, SW_MINIMIZE);
        else
            Route(id);
        return 0;
    }
    case WM_MOUSEMOVE: {
        if (dragging) {
            POINT now;
            GetCursorPos(&now);
            RECT r;
            GetWindowRect(hwnd, &r);
            MoveWindow(hwnd, r.left + now.x - dragFrom.x, r.top + now.y - dragFrom.y, r.right - r.left, r.bottom - r.top, FALSE);
            dragFrom = now;
            return 0;
        }
        SKINCONTROL* over = At(p);
        if (over != hover) {
            for (SKINCONTROL* c : {hover, over})
                if (c) {
                    c->hover = c == over;
                    c->object->Invalidate();
                }
            hover = over;
        }
        if (pressed) {
            const bool in = PtInRect(&pressed->rect, p) != 0;
            if (in != pressed->pressed) {
                pressed->pressed = in;
                pressed->object->Invalidate();
            }
        }
        return 0;
    }
    case WM_LBUTTONDOWN: {
        SetCapture(hwnd);
        pressed = At(p);
        if (pressed) {
            pressed->pressed = true;
            pressed->object->Invalidate();
        } else if (skin->Number(nullptr, "drag by background", 0)) {
            dragging = true;
            GetCursorPos(&dragFrom);
        }
        return 0;
    }
    case WM_LBUTTONUP: {
        ReleaseCapture();
        dragging = false;
        SKINCONTROL* c = pressed;
        pressed = nullptr;
        if (!c)
            return 0;
        c->pressed = false;
        c->object->Invalidate();
        if (!PtInRect(&c->rect, p) && c->links.empty())
            return 0;
        for (const auto& link : c->links)
            if (PtInRect(&link.first, p)) {
                ShellExecuteW(nullptr, u"open", Utf8ToUtf16(link.second).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
                return 0;
            }
        if (PtInRect(&c->rect, p) && c->kind != SKIN_TEXT)
            Click(c);
        return 0;
    }
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE)
            Post(WM_COMMAND, IDCANCEL, 0);
        else if (wParam == VK_RETURN)
            Post(WM_COMMAND, IDOK, 0);
        return 0;
    default: return 0;
    }
}

SKINWINDOWINSET::SKINWINDOWINSET(SKINWINDOW* parent, const std::string&, SKINHANDLER h, int baseDialogId) :
    SKINPANE(parent, h, baseDialogId + CurrentLanguageIndex())
{
    const SKINTEMPLATE tmpl = TemplateOrThrow(dialogId);
    const RECT inner = parent->Inner();
    const POINT at = parent->DialogToPixels({tmpl.rect.left, tmpl.rect.top});
    try {
        Build(tmpl, POINT{inner.left + at.x, inner.top + at.y});
    } catch (...) {
        DestroyControls();
        throw;
    }
    parent->AddPane(this);
    handler(this, WM_INITDIALOG, 0, 0);
    handler(this, WM_SKINREADY, 0, 0);
}

SKINWINDOWINSET::~SKINWINDOWINSET()
{
    handler(this, WM_DESTROY, 0, 0);
    window->RemovePane(this);
}
