// Skin windows and panes: a window of class "SkinWindow" (an animation window without a
// cursor of its own) built from a dialog template, its frame, background and outline drawn
// from the skin, and panes (SKINWINDOWINSET) made from further templates inside it. Every
// control is an animated object drawn from the skin's images.
//
// Handlers hear WM_INITDIALOG when a window or pane is built, then WM_SKINREADY once its
// controls exist, and WM_COMMAND with a control's id when it is used. Control ids are unique
// across a window and its panes, so commands find their pane by id.
#pragma once

#include "skinlib.h"
#include "skintemplate.h"

#include <windows.h>

#include <map>
#include <set>
#include <string>
#include <vector>

struct AnimWindow;
struct ANIMOBJECT;
struct Sprite;
class SKINPANE;
class SKINWINDOW;

constexpr UINT WM_SKINREADY = 0x4002;

using SKINHANDLER = LRESULT (*)(SKINPANE* pane, UINT message, WPARAM wParam, LPARAM lParam);

struct SKINCONTROLGRAPHICS {
    Sprite* image = nullptr; // the kind's skin image
    Sprite* picture = nullptr; // a program's picture on the control
    int pictureX = 0; // picture's left, from the control's left
    int pictureSize = 0; // picture's width and height; 0: as drawn
    std::string fontSpec; // the font text of the control's kind
    COLORREF text = 0, disabledText = 0, selectedText = 0;
    RECT border{}; // text borders: left, top, right, bottom
    int textLayout = 0; // 0 left, 1 centre, 2 right
};

struct SKINCONTROL {
    SKINPANE* pane = nullptr;
    SKINKIND kind = SKIN_TEXT;
    int id = 0;
    int group = 0; // radio buttons: their group's number
    RECT rect{}; // window coordinates
    std::string text;
    bool checked = false;
    bool enabled = true;
    bool hover = false;
    bool pressed = false;
    int position = 0; // progress bars: 0..100
    SKINCONTROLGRAPHICS g;
    ANIMOBJECT* object = nullptr;
    std::vector<std::pair<RECT, std::string>> links; // where the last drawing put each link
};

class SKINPANE {
public:
    virtual ~SKINPANE();
    SKINPANE(const SKINPANE&) = delete;
    SKINPANE& operator=(const SKINPANE&) = delete;

    SKINWINDOW* Window() const { return window; }
    int DialogId() const { return dialogId; }
    SKINCONTROL* Control(int id) const;
    const std::vector<SKINCONTROL*>& Controls() const { return controls; }

    void SetText(int id, const std::string& text);
    void SetCheck(int id, bool checked);
    bool GetCheck(int id) const;
    void SetPosition(int id, int percent);
    void SetPicture(int id, Sprite* picture, int x, int size);
    void Enable(int id, bool enabled);

    void* user = nullptr;

protected:
    SKINPANE(SKINWINDOW* window, SKINHANDLER handler, int dialogId);
    // Makes the template's controls with their top-left at origin (window coordinates).
    void Build(const SKINTEMPLATE& tmpl, POINT origin);
    void DestroyControls();

    friend class SKINWINDOW;
    SKINWINDOW* window;
    SKINHANDLER handler;
    int dialogId;
    std::vector<SKINCONTROL*> controls;
};

class SKINWINDOW : public SKINPANE {
public:
    // From dialog (base id + language index); SKINERROR when the skin lacks an image or ids clash.
    SKINWINDOW(SKIN* skin, const std::string& title, SKINHANDLER handler, int baseDialogId);
    // From a template made by the program (the message box).
    SKINWINDOW(SKIN* skin, const SKINTEMPLATE& tmpl, SKINHANDLER handler);
    ~SKINWINDOW() override;

    // Shows the window and runs its messages until EndModal; returns EndModal's value.
    INT_PTR RunModal();
    void EndModal(INT_PTR result);
    HWND Hwnd() const { return hwnd; }
    SKIN* Skin() const { return skin; }
    AnimWindow* Anim() const { return anim; }
    void SetTitle(const std::string& title);
    // From any thread.
    void Post(UINT message, WPARAM wParam, LPARAM lParam) const { PostMessageW(hwnd, message, wParam, lParam); }
    // While suspended nothing is shown; resuming shows the whole window again.
    void SuspendPainting(bool suspend);
    void CentreOnWorkArea();

    // Pane bookkeeping for the id rules.
    void AddPane(SKINPANE* pane) { panes.push_back(pane); }
    void RemovePane(SKINPANE* pane);
    std::vector<std::pair<long, std::set<int>>> IdsBesides(const SKINPANE* pane) const;
    RECT Inner() const; // inside the frame
    POINT DialogToPixels(POINT du) const;

    HFONT Font(const std::string& specification);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Paint(struct Graphic* target);

private:
    void Create(const SKINTEMPLATE& tmpl, const std::string& title);
    void Route(int id);
    SKINCONTROL* At(POINT p) const;
    void Click(SKINCONTROL* control);
    void Shape();
    void PaintWith(struct Graphic* target, COLORREF outside);

    SKIN* skin;
    HWND hwnd = nullptr;
    AnimWindow* anim = nullptr;
    RECT borders{};
    std::string title;
    std::string framePicture; // "TITLE Frame", by the title the window was made with
    std::vector<SKINPANE*> panes;
    std::map<std::string, HFONT> fonts;
    SKINCONTROL* pressed = nullptr;
    SKINCONTROL* hover = nullptr;
    bool dragging = false;
    POINT dragFrom{};
    bool done = false;
    INT_PTR result = 0;
};

class SKINWINDOWINSET : public SKINPANE {
public:
    // From dialog (base id + language index), at the template's place inside the parent's frame.
    SKINWINDOWINSET(SKINWINDOW* parent, const std::string& title, SKINHANDLER handler, int baseDialogId);
    ~SKINWINDOWINSET() override;
};

// The skin's message box; flags as MessageBox's (icons 0x10/0x30, 0x20, 0x40; MB_YESNOCANCEL).
// Returns IDOK, IDYES, IDNO or IDCANCEL.
int SkinMessageBox(SKIN* skin, UINT flags, const std::string& title, const std::string& text);
