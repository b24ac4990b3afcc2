// Window classes: the program's own and the layer's control classes.
#include "tl_string.h"
#include "utf.h"
#include "window.h"

#include <algorithm>
#include <utility>

namespace {

struct ClassTable {
    std::vector<std::shared_ptr<WindowClass>> program;
    std::vector<std::shared_ptr<WindowClass>> system;
    ATOM nextAtom = 0xC000;
};

ClassTable& Classes()
{
    static ClassTable table;
    return table;
}

bool Matches(const WindowClass& cls, LPCWSTR name)
{
    if (IS_INTRESOURCE(name))
        return cls.atom == static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(name));
    return SameName(cls.name, name);
}

std::shared_ptr<WindowClass> Lookup(const std::vector<std::shared_ptr<WindowClass>>& list, LPCWSTR name)
{
    for (const auto& cls : list)
        if (Matches(*cls, name))
            return cls;
    return nullptr;
}

ATOM Register(const WNDCLASSEXW& wc, bool system)
{
    if (!wc.lpszClassName || IS_INTRESOURCE(wc.lpszClassName) || !wc.lpszClassName[0] || !wc.lpfnWndProc || wc.cbClsExtra < 0
        || wc.cbWndExtra < 0 || wc.cbClsExtra > 4096 || wc.cbWndExtra > 4096) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    UserGuard guard(UserLock());
    ClassTable& table = Classes();
    auto& list = system ? table.system : table.program;
    if (Lookup(list, wc.lpszClassName)) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    auto cls = std::make_shared<WindowClass>();
    cls->name = NameOf(wc.lpszClassName);
    cls->atom = table.nextAtom++;
    cls->style = wc.style;
    cls->proc = wc.lpfnWndProc;
    cls->wndExtra = wc.cbWndExtra;
    cls->instance = wc.hInstance;
    cls->cursor = wc.hCursor;
    cls->icon = wc.hIcon;
    cls->background = wc.hbrBackground;
    cls->extra.assign(static_cast<size_t>(wc.cbClsExtra), 0);
    cls->system = system;
    list.push_back(cls);
    return cls->atom;
}

WNDCLASSEXW Widen(const WNDCLASSW& wc)
{
    WNDCLASSEXW ex{};
    ex.cbSize = sizeof ex;
    ex.style = wc.style;
    ex.lpfnWndProc = wc.lpfnWndProc;
    ex.cbClsExtra = wc.cbClsExtra;
    ex.cbWndExtra = wc.cbWndExtra;
    ex.hInstance = wc.hInstance;
    ex.hIcon = wc.hIcon;
    ex.hCursor = wc.hCursor;
    ex.hbrBackground = wc.hbrBackground;
    ex.lpszMenuName = wc.lpszMenuName;
    ex.lpszClassName = wc.lpszClassName;
    return ex;
}

} // namespace

std::u16string NameOf(LPCWSTR name)
{
    return name ? std::u16string(name, Utf16Length(name)) : std::u16string();
}

bool SameName(const std::u16string& a, LPCWSTR b)
{
    return EqualsIgnoringAsciiCase(a, std::u16string_view(b));
}

std::shared_ptr<WindowClass> FindClass(LPCWSTR name)
{
    if (!name)
        return nullptr;
    RegisterSystemClasses();
    UserGuard guard(UserLock());
    if (auto cls = Lookup(Classes().program, name))
        return cls;
    return Lookup(Classes().system, name);
}

void AddSystemClass(const WNDCLASSW& wc)
{
    Register(Widen(wc), true);
}

ATOM RegisterClassW(const WNDCLASSW* wc)
{
    if (!wc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return Register(Widen(*wc), false);
}

ATOM RegisterClassExW(const WNDCLASSEXW* wc)
{
    if (!wc || wc->cbSize != sizeof(WNDCLASSEXW)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return Register(*wc, false);
}

BOOL UnregisterClassW(LPCWSTR className, HINSTANCE)
{
    UserGuard guard(UserLock());
    auto& list = Classes().program;
    const auto it = std::find_if(list.begin(), list.end(), [&](const auto& cls) { return Matches(*cls, className); });
    if (it == list.end()) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    // Windows keep their class alive; a class with windows stays registered, as on Win32.
    if (it->use_count() > 1) {
        SetLastError(ERROR_CLASS_HAS_WINDOWS);
        return FALSE;
    }
    list.erase(it);
    return TRUE;
}

BOOL GetClassInfoW(HINSTANCE, LPCWSTR className, LPWNDCLASSW wc)
{
    const std::shared_ptr<WindowClass> cls = FindClass(className);
    if (!cls || !wc) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    UserGuard guard(UserLock());
    *wc = WNDCLASSW{};
    wc->style = cls->style;
    wc->lpfnWndProc = cls->proc;
    wc->cbClsExtra = static_cast<int>(cls->extra.size());
    wc->cbWndExtra = cls->wndExtra;
    wc->hInstance = cls->instance;
    wc->hIcon = cls->icon;
    wc->hCursor = cls->cursor;
    wc->hbrBackground = cls->background;
    wc->lpszClassName = cls->name.c_str(); // lives as long as the class
    return TRUE;
}

// The layer draws no cursors of its own; a cursor handle only names a shape.
HCURSOR LoadCursorW(HINSTANCE, LPCWSTR name)
{
    return reinterpret_cast<HCURSOR>(const_cast<LPWSTR>(name));
}

HCURSOR SetCursor(HCURSOR cursor)
{
    static HCURSOR current = nullptr;
    UserGuard guard(UserLock());
    return std::exchange(current, cursor);
}
