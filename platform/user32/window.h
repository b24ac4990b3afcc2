// Windows as the layer keeps them. One table maps handles to windows; every call takes the
// user lock for its own work and never holds it while a window procedure runs, so a procedure
// may call back into the layer (and may destroy the window it was called for).
#pragma once

#include "windows.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

struct SDL_Surface;
struct SDL_Window;

struct WindowClass {
    std::u16string name;
    ATOM atom = 0;
    UINT style = 0;
    WNDPROC proc = nullptr;
    int wndExtra = 0;
    HINSTANCE instance = nullptr;
    HCURSOR cursor = nullptr;
    HICON icon = nullptr;
    HBRUSH background = nullptr;
    std::vector<BYTE> extra; // class extra bytes
    bool system = false; // one of the layer's own control classes
};

struct Window {
    HWND handle = nullptr;
    std::shared_ptr<WindowClass> cls;
    WNDPROC proc = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    HWND parent = nullptr; // child windows only
    HWND owner = nullptr; // top-level windows only
    std::vector<HWND> children; // creation order: the first is on top and first in tab order
    RECT rect{}; // in the parent's client coordinates, or the screen's
    std::u16string text;
    HICON bigIcon = nullptr; // WM_SETICON's; the class's icon stands in for the big one
    HICON smallIcon = nullptr;
    std::vector<BYTE> extra;
    LONG_PTR userData = 0;
    LONG_PTR id = 0;
    HINSTANCE instance = nullptr;
    DWORD thread = 0;
    SDL_Window* host = nullptr; // top-level windows, once shown
    // A scaled top-level window's pixels at the program's size; the host shows them enlarged.
    SDL_Surface* backing = nullptr;
    RECT update{}; // client coordinates; empty when nothing waits to be painted
    bool erase = false;
    std::vector<RECT> changed; // top-level windows: drawn parts not yet on the screen
    bool destroying = false;
    // SetWindowRgn's outline, kept for GetWindowRgn; the host window stays a rectangle.
    bool shaped = false;
    std::vector<RECT> shape; // window coordinates

    bool isChild() const { return (style & WS_CHILD) != 0; }
    int width() const { return rect.right - rect.left; }
    int height() const { return rect.bottom - rect.top; }
};

std::recursive_mutex& UserLock();
using UserGuard = std::lock_guard<std::recursive_mutex>;

// Window handles: the process id in the high bits, a slot in the low ten.
HWND NewWindowHandle();
bool IsLocalHandle(HWND hwnd);
pid_t ProcessOfHandle(HWND hwnd);

// Under the user lock. Null (last error ERROR_INVALID_WINDOW_HANDLE) for an unknown handle.
Window* FindWindowData(HWND hwnd);
Window* AddWindowData(std::unique_ptr<Window> window);
void RemoveWindowData(HWND hwnd);
// This process's top-level windows, oldest first.
std::vector<HWND> TopLevelWindows();

// Class lookup by name or atom among the program's and the layer's own classes.
std::shared_ptr<WindowClass> FindClass(LPCWSTR name);
// Registers the layer's control classes once (dialogs and standard controls), each through
// AddSystemClass.
void RegisterSystemClasses();
void AddSystemClass(const WNDCLASSW& wc);

// Geometry, under the user lock.
HWND TopLevelOf(HWND hwnd);
POINT ClientOriginOnScreen(const Window& window);
RECT ClientRectOf(const Window& window); // (0, 0, width, height)
// Where the window's client area lies in its top-level window's client area.
POINT OriginInTopLevel(const Window& window);
// Visible and every ancestor visible.
bool IsShown(const Window& window);

// Case-insensitive comparison of class names.
bool SameName(const std::u16string& a, LPCWSTR b);
std::u16string NameOf(LPCWSTR name);

// Calls the window's procedure outside the lock; 0 when the window is gone.
LRESULT CallProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
