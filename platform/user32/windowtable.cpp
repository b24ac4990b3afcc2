// The table of this process's windows and the handles that name them.
#include "window.h"

#include <map>
#include <unistd.h>

namespace {

constexpr uint32_t kSlotBits = 10;
constexpr uint32_t kSlots = 1u << kSlotBits;

struct WindowTable {
    std::map<uint32_t, std::unique_ptr<Window>> windows;
    std::vector<HWND> topLevel;
    uint32_t nextSlot = 1;
};

WindowTable& Table()
{
    static WindowTable table;
    return table;
}

uint32_t Pid()
{
    static const uint32_t pid = static_cast<uint32_t>(getpid());
    return pid;
}

// A handle kept in a 32-bit window word comes back sign-extended; only the low half counts.
uint32_t Value(HWND hwnd)
{
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(hwnd));
}

} // namespace

std::recursive_mutex& UserLock()
{
    static std::recursive_mutex lock;
    return lock;
}

// Slots go round before one is used again, so a stale handle seldom meets a new window.
HWND NewWindowHandle()
{
    UserGuard guard(UserLock());
    WindowTable& table = Table();
    for (uint32_t tries = 0; tries < kSlots; ++tries) {
        const uint32_t slot = table.nextSlot;
        table.nextSlot = slot + 1 == kSlots ? 1 : slot + 1;
        const uint32_t value = (Pid() << kSlotBits) | slot;
        if (!table.windows.count(value))
            return reinterpret_cast<HWND>(static_cast<uintptr_t>(value));
    }
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
}

bool IsLocalHandle(HWND hwnd)
{
    return hwnd && Value(hwnd) >> kSlotBits == Pid();
}

pid_t ProcessOfHandle(HWND hwnd)
{
    return static_cast<pid_t>(Value(hwnd) >> kSlotBits);
}

Window* FindWindowData(HWND hwnd)
{
    UserGuard guard(UserLock());
    WindowTable& table = Table();
    const auto it = hwnd ? table.windows.find(Value(hwnd)) : table.windows.end();
    if (it == table.windows.end()) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    return it->second.get();
}

Window* AddWindowData(std::unique_ptr<Window> window)
{
    UserGuard guard(UserLock());
    WindowTable& table = Table();
    Window* added = window.get();
    if (!added->isChild())
        table.topLevel.push_back(added->handle);
    table.windows[Value(added->handle)] = std::move(window);
    return added;
}

void RemoveWindowData(HWND hwnd)
{
    UserGuard guard(UserLock());
    WindowTable& table = Table();
    std::erase(table.topLevel, hwnd);
    table.windows.erase(Value(hwnd));
}

std::vector<HWND> TopLevelWindows()
{
    UserGuard guard(UserLock());
    return Table().topLevel;
}
