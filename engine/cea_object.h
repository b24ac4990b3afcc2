// ANIMOBJECT: one thing on an animation window. A rectangle in a layer, shown by a graphic or
// by the current frame of a sprite, or drawn by its callback, which also hears the object's
// life-cycle messages. Static objects are composed once into the window's composition buffer;
// moving ones are drawn fresh over it in every paint that touches them.
//
// Lower layer numbers are in front; within a layer, earlier objects are in front of later ones.
#pragma once

#include "windows.h"

struct AnimWindow;
struct ANIMOBJECT;
struct Graphic;
struct Sprite;

// The callback: a result for the message; see the kObj messages below.
using ANIMOBJECTPROC = LRESULT (*)(ANIMOBJECT* object, UINT message, void* data);

enum : UINT {
    kObjCreated = 0,
    kObjDestroying = 1,
    kObjUpdate = 2, // once per paint, before drawing
    kObjDraw = 3, // data: ANIMDRAW
    kObjHitTest = 100, // data: POINT relative to the object's top-left; non-zero: hit
    kObjMayTakeInput = 101,
};

enum : DWORD {
    kObjStatic = 0x1,
    kObjHidden = 0x2, // left out when dirty regions grow over objects
};

// The data of the draw message: the part of the object to draw, in window coordinates.
struct ANIMDRAW {
    Graphic* target;
    RECT rect;
};

// Draws image (none: nothing) with its top-left at (x, y), only inside the part draw asks for.
void DrawImageAt(const ANIMDRAW& draw, Graphic* image, int x, int y);

// The data slot that holds the control of a control's object.
constexpr int kControlSlot = 4;

struct ANIMOBJECT {
    AnimWindow* window;
    ANIMOBJECT* next; // towards the back
    ANIMOBJECT* previous; // towards the front
    UINT_PTR* data;
    int cData;
    RECT rect;
    int layer;
    DWORD flags;
    BOOL autoDraw;
    Graphic* graphic;
    Sprite* sprite;
    ANIMOBJECTPROC callback;

    // Objects are created at the back of their layer. Null when memory is short.
    static ANIMOBJECT* Create(AnimWindow* window, Graphic* graphic, int layer);
    static ANIMOBJECT* Create(AnimWindow* window, Sprite* sprite, int layer);
    static ANIMOBJECT* Create(AnimWindow* window, ANIMOBJECTPROC callback, int layer);
    // Sends the destroying message, leaves the window and frees the object.
    void Destroy();

    AnimWindow* GetWindow() const { return window; }
    void MoveToWindow(AnimWindow* other);
    int GetLayer() const { return layer; }
    void SetLayer(int layer);
    void ToFront();
    void ToBack();
    void InFrontOf(ANIMOBJECT* other);
    void Behind(ANIMOBJECT* other);

    DWORD GetFlags() const { return flags; }
    void SetFlags(DWORD flags);
    bool IsStatic() const { return (flags & kObjStatic) != 0; }

    // The sprite's frame for the window's current frame, else the graphic.
    Graphic* CurrentGraphic() const;
    void SetGraphic(Graphic* graphic, BOOL autoDraw = TRUE);
    void SetSprite(Sprite* sprite, BOOL autoDraw = TRUE);

    int GetWidth() const { return rect.right - rect.left; }
    int GetHeight() const { return rect.bottom - rect.top; }
    SIZE GetSize() const { return {GetWidth(), GetHeight()}; }
    POINT GetPosition() const { return {rect.left, rect.top}; }
    RECT GetRect() const { return rect; }
    void SetWidth(int cx) { SetSize(cx, GetHeight()); }
    void SetHeight(int cy) { SetSize(GetWidth(), cy); }
    void SetSize(int cx, int cy) { SetRect({rect.left, rect.top, rect.left + cx, rect.top + cy}); }
    void SetPosition(int x, int y) { SetRect({x, y, x + GetWidth(), y + GetHeight()}); }
    // Ignored while the object is static.
    void SetRect(const RECT& rect);

    void Invalidate();

    ANIMOBJECTPROC GetCallback() const { return callback; }
    void SetCallback(ANIMOBJECTPROC callback);
    LRESULT Send(UINT message, void* data = nullptr);

    UINT_PTR GetData(int i) const;
    bool SetData(int i, UINT_PTR value);

    // Draws the part of the object inside clip onto target.
    void Draw(Graphic* target, const RECT& clip);

private:
    static ANIMOBJECT* New(AnimWindow* window, int layer);
    void SetImage(Graphic* graphic, Sprite* sprite, BOOL autoDraw);
    bool DrawsAnimatedSprite() const;
};
