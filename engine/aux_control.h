// Controls drawn by the engine on top of animated objects: ANIMCONTROL holds what every control
// has (text, font, colours, enabled state, focus and mouse capture) and ANIMBUTTON and ANIMTEXT
// are the push, check and radio buttons and the labels of the screens.
//
// A control lives on its object: the object's data slot kControlSlot points back to the
// control, and the object's callback hands drawing and hit testing to it. Mouse input reaches
// controls through hooks on the window.
#pragma once

#include "cea_object.h"
#include "tl_string.h"

#include "windows.h"

struct AnimWindow;
struct Graphic;

enum : int {
    kControlButton = 1,
    kControlText = 2,
};

// Colour indices of a control.
enum : int {
    kColorBackground = 0,
    kColorHighlight = 1,
    kColorShadow = 2,
    kColorFace = 3,
    kColorText = 4,
};

class ANIMCONTROL {
public:
    // The virtual operations, in their slot order.
    virtual void Destroy(); // 0
    virtual RECT GetRect(); // 1
    virtual void SetRect(const RECT* rect); // 2: none sizes to content
    virtual SIZE GetSize(); // 3
    virtual void SetSize(int cx, int cy); // 4
    virtual void AutoSize(); // 5
    virtual POINT GetPosition(); // 6
    virtual void SetPosition(int x, int y); // 7
    virtual int GetTextLength(); // 8: characters plus 1
    virtual string GetText(); // 9
    virtual void SetText(const string& text); // 10
    virtual Graphic* GetGraphic(); // 11
    virtual void SetGraphic(Graphic* graphic); // 12
    virtual int GetId(); // 13
    virtual void SetId(int id); // 14
    virtual bool IsEnabled(); // 15
    virtual void Enable(bool fEnable); // 16
    virtual void Invalidate(); // 17
    virtual COLORREF GetColor(int i); // 18
    virtual void SetColor(int i, COLORREF color); // 19
    virtual void TakeFocus(); // 20
    virtual bool HasCapture(); // 21
    virtual void TakeCapture(); // 22
    virtual void ReleaseCapture(); // 23
    virtual void DrawFocusRect(HDC hdc, const RECT& rect); // 24
    virtual void DrawEdge(HDC hdc, const RECT& rect, UINT edge, UINT sides); // 25
    virtual void Layout() = 0; // 26
    virtual void Draw(Graphic* target, const RECT& part) = 0; // 27
    virtual void FocusGained(); // 28
    virtual void FocusLost(); // 29

    ANIMOBJECT* Object() const { return object; }
    int Kind() const { return kind; }
    HFONT GetFont() const { return font; }
    void SetFont(HFONT font);
    void SetRepaintNow(bool fNow) { repaintNow = fNow; }
    bool HasFocus() const;

    static ANIMCONTROL* FromObject(const ANIMOBJECT* object);
    static ANIMCONTROL* Focused();
    static ANIMCONTROL* Captured();
    // Gives the focus to control (none: nobody).
    static void SetFocusControl(ANIMCONTROL* control);

protected:
    ANIMCONTROL(AnimWindow* window, int layer, int kind);
    ~ANIMCONTROL() = default;
    ANIMCONTROL(const ANIMCONTROL&) = delete;
    ANIMCONTROL& operator=(const ANIMCONTROL&) = delete;

    void LayoutIfNeeded();
    SIZE TextExtent(const string& text) const;
    // The colour used for drawing: none stays none.
    void FillPart(HDC hdc, const RECT& rect, COLORREF color) const;
    // The text in colour 4 and the control's font, transparent, prefixes not interpreted.
    void DrawLabel(HDC hdc, const RECT& rect, UINT format);
    // Draws image with its top-left at origin, only inside part.
    static void DrawClipped(Graphic* image, Graphic* target, POINT origin, const RECT& part);
    // Called by the object's callback before the built-in handling; 0 ends the message.
    virtual LRESULT PreHandle(UINT message, void* data);
    virtual bool HitTest(POINT point);

    ANIMOBJECT* object;
    BOOL autoSize;
    BOOL needsLayout;
    string text;
    int id;
    ANIMOBJECTPROC drawCallback;
    int kind;
    COLORREF* colors;
    int cColors;
    BOOL repaintNow;
    BOOL enabled;
    HFONT font;

private:
    static LRESULT ObjectProc(ANIMOBJECT* object, UINT message, void* data);
};

// Button styles: the low 4 bits are the kind.
enum : DWORD {
    kButtonPush = 0x0,
    kButtonCheck = 0x1,
    kButtonRadio = 0x2,
    kButtonKindMask = 0xF,
    kButtonAutoRadio = 0x10, // a click checks it and unchecks its group (same high 16 bits)
    kButtonAutoToggle = 0x20, // a click toggles it
    kButtonHover = 0x100, // the face shows only while pushed or under the pointer
    kButtonCentred = 0x200, // the caption is centred
};

// Notifications a button sends to its notify procedure in the high word of wParam.
enum : WORD {
    kButtonClicked = 0,
    kButtonPressed = 2,
    kButtonReleased = 3,
};

class ANIMBUTTON final : public ANIMCONTROL {
public:
    static ANIMBUTTON* Create(AnimWindow* window, int id, DWORD style, int layer, const string& text = string());

    void Destroy() override;
    void Layout() override;
    void Draw(Graphic* target, const RECT& part) override;
    void FocusLost() override;

    // The notify procedure receives (caller, WM_COMMAND, id | notification << 16, this).
    void SetNotify(WNDPROC proc, HWND caller);
    void SetImages(Graphic* normal, Graphic* pressed);
    // Sees every message of the button's object first (0 ends it) and does all the drawing.
    void SetCustomHandler(ANIMOBJECTPROC handler) { customHandler = handler; }
    // Hears the draw message after the built-in drawing.
    void SetPostDrawHook(ANIMOBJECTPROC hook) { postDraw = hook; }
    DWORD GetStyle() const { return style; }
    void SetStyle(DWORD newStyle);
    bool IsChecked() const { return checked != 0; }
    void SetChecked(bool fChecked);
    bool IsPressed() const { return pressed != 0; }
    // The pressed look follows the pointer while the button holds the capture.
    void Track(POINT point);
    // A release of the primary button while this button holds the capture.
    void Release(POINT point);
    void Click();

protected:
    LRESULT PreHandle(UINT message, void* data) override;
    bool HitTest(POINT point) override;

private:
    ANIMBUTTON(AnimWindow* window, int id, DWORD style, int layer, const string& text);
    void Notify(WORD notification);
    void SetPressed(bool fPressed);
    bool PointerOver();
    bool ShowsHoverFace();
    void FollowHover();
    void DrawBox(HDC hdc, const RECT& box);
    void DrawPush(Graphic* target, HDC hdc, const RECT& part);

    WNDPROC notifyProc;
    HWND caller;
    BOOL pressed;
    BOOL checked;
    DWORD style;
    Graphic* normalImage;
    Graphic* pressedImage;
    ANIMOBJECTPROC postDraw;
    ANIMOBJECTPROC customHandler;
};

// Text styles.
enum : DWORD {
    kTextRight = 0x2,
    kTextCentre = 0x4,
    kTextWrap = 0x8,
};

class ANIMTEXT final : public ANIMCONTROL {
public:
    static ANIMTEXT* Create(AnimWindow* window, int layer, DWORD style = 0, const string& text = string());

    void Destroy() override;
    void Layout() override;
    void Draw(Graphic* target, const RECT& part) override;

    DWORD GetStyle() const { return style; }
    void SetStyle(DWORD newStyle);

protected:
    bool HitTest(POINT point) override;

private:
    ANIMTEXT(AnimWindow* window, int layer, DWORD style, const string& text);

    DWORD style;
};
