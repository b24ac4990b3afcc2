#include "cea_hooks.h"

#include "memmgr.h"

#include <cstring>

// The position of one dispatch in the list: the index of the hook it called last. fGone is
// set when the list is freed under the dispatch (a hook closed the window): the dispatch then
// ends without touching the list again.
struct HOOKCURSOR {
    int i;
    HOOKCURSOR* outer;
    bool fGone;
};

namespace {

constexpr int kGrowBy = 8;

WORD PriorityOf(const HOOKRECORD& r)
{
    return WORD(r.flags >> 16);
}

bool Wants(const HOOKRECORD& r, UINT message)
{
    const DWORD kinds = r.flags & 0xFFFF;
    if (kinds == kHookAll)
        return true;
    if ((kinds & kHookMouse) && message >= 0x200 && message <= 0x20A)
        return true;
    return (kinds & kHookKeyboard) && message >= 0x100 && message <= 0x108;
}

} // namespace

void HOOKLIST::Free()
{
    for (HOOKCURSOR* cursor = cursors; cursor; cursor = cursor->outer)
        cursor->fGone = true;
    cursors = nullptr;
    MEM_FREE(rg);
    rg = nullptr;
    c = cAlloc = 0;
}

// Keeps the dispatches in progress on the same hooks when a record is inserted (delta 1) or
// removed (delta -1) at index i.
void HOOKLIST::Shift(int i, int delta)
{
    for (HOOKCURSOR* cursor = cursors; cursor; cursor = cursor->outer)
        if (i <= cursor->i)
            cursor->i += delta;
}

bool HOOKLIST::Add(ANIMHOOK function, WORD flags, WORD priority)
{
    if (flags == 0) {
        Remove(function);
        return true;
    }
    for (int i = 0; i < c; ++i) {
        if (rg[i].function == function) {
            ++rg[i].cRef;
            rg[i].flags |= flags;
            return true;
        }
    }
    if (c == cAlloc && !MEM_GROW_ARRAY(&rg, &cAlloc, c + 1, kGrowBy))
        return false;
    int i = 0;
    while (i < c && PriorityOf(rg[i]) < priority)
        ++i;
    std::memmove(rg + i + 1, rg + i, sizeof(HOOKRECORD) * size_t(c - i));
    rg[i] = {function, DWORD(priority) << 16 | flags, 1};
    ++c;
    Shift(i, 1);
    return true;
}

void HOOKLIST::Remove(ANIMHOOK function)
{
    for (int i = 0; i < c; ++i) {
        if (rg[i].function != function)
            continue;
        if (--rg[i].cRef == 0) {
            std::memmove(rg + i, rg + i + 1, sizeof(HOOKRECORD) * size_t(c - i - 1));
            --c;
            Shift(i, -1);
        }
        return;
    }
}

bool HOOKLIST::Dispatch(AnimWindow* window, UINT message, WPARAM wParam, LPARAM lParam)
{
    HOOKCURSOR cursor{0, cursors, false};
    cursors = &cursor;
    bool consumed = false;
    for (; cursor.i < c && !consumed; ++cursor.i) {
        if (Wants(rg[cursor.i], message)) {
            consumed = rg[cursor.i].function(window, message, wParam, lParam) != 0;
            if (cursor.fGone)
                return true; // the list and its window are gone: nothing more hears the message
        }
    }
    cursors = cursor.outer;
    return consumed;
}
