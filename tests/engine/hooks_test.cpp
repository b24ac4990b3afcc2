#include "cea_hooks.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::string g_calls;
HOOKLIST* g_list;
char g_consumeIn = 0; // the hook that consumes: 'a', 'b', ...

BOOL Record(char name)
{
    g_calls += name;
    return g_consumeIn == name;
}

template<char name> BOOL Hook(AnimWindow*, UINT, WPARAM, LPARAM)
{
    return Record(name);
}

BOOL RemovesItself(AnimWindow*, UINT, WPARAM, LPARAM)
{
    g_list->Remove(RemovesItself);
    return Record('r');
}

BOOL AddsAFrontHook(AnimWindow*, UINT, WPARAM, LPARAM)
{
    g_list->Add(Hook<'d'>, kHookAll, 1);
    return Record('f');
}

// Which hooks heard a message, in order, and whether one consumed it.
std::string Send(HOOKLIST& list, UINT message, bool* consumed = nullptr)
{
    g_calls.clear();
    const bool result = list.Dispatch(nullptr, message, 0, 0);
    if (consumed)
        *consumed = result;
    return g_calls;
}

TEST(HooksTest, HooksAreCalledByPriorityAndKindUntilOneConsumes)
{
    struct HOOK {
        ANIMHOOK function;
        WORD flags;
        WORD priority;
    };
    const struct {
        const char* name;
        std::vector<HOOK> hooks;
        char consumeIn;
        std::vector<std::pair<UINT, std::string>> sends; // message, the hooks that hear it
    } cases[] = {
        {"lower priorities first, newcomers before their equals",
         {{Hook<'a'>, kHookAll, 100}, {Hook<'b'>, kHookAll, 50}, {Hook<'c'>, kHookAll, 100}},
         0,
         {{0x0F, "bca"}}},
        {"flags choose the kinds of messages",
         {{Hook<'a'>, kHookMouse, 100}, {Hook<'b'>, kHookKeyboard, 100}, {Hook<'c'>, kHookMouse | kHookKeyboard, 100}},
         0,
         {{0x100, "cb"}, {0x108, "cb"}, {0x201, "ca"}, {0x20A, "ca"}, {0x20B, ""}, {0x0F, ""}}},
        {"the first that consumes ends the dispatch",
         {{Hook<'a'>, kHookAll, 1}, {Hook<'b'>, kHookAll, 2}, {Hook<'c'>, kHookAll, 3}},
         'b',
         {{0x201, "ab"}}},
        {"a hook may remove itself",
         {{Hook<'a'>, kHookAll, 1}, {RemovesItself, kHookAll, 2}, {Hook<'b'>, kHookAll, 3}},
         0,
         {{1, "arb"}, {1, "ab"}}},
        {"a hook added in front waits for the next message",
         {{Hook<'a'>, kHookAll, 5}, {AddsAFrontHook, kHookAll, 10}, {Hook<'b'>, kHookAll, 20}},
         0,
         {{1, "afb"}, {1, "dafb"}}},
    };
    for (const auto& c : cases) {
        HOOKLIST list{};
        g_list = &list;
        g_consumeIn = c.consumeIn;
        for (const HOOK& h : c.hooks)
            list.Add(h.function, h.flags, h.priority);
        for (const auto& [message, heard] : c.sends) {
            bool consumed;
            EXPECT_EQ(Send(list, message, &consumed), heard) << c.name << ", message " << message;
            EXPECT_EQ(consumed, c.consumeIn != 0) << c.name;
        }
        list.Free();
    }
    g_consumeIn = 0;
}

TEST(HooksTest, AddingAgainCountsAndWidensTheFlags)
{
    HOOKLIST list{};
    list.Add(Hook<'a'>, kHookMouse);
    list.Add(Hook<'a'>, kHookKeyboard);
    EXPECT_EQ(std::tuple(list.c, Send(list, 0x100)), std::tuple(1, "a"));
    list.Remove(Hook<'a'>);
    EXPECT_EQ(Send(list, 0x201), "a");
    list.Add(Hook<'a'>, 0); // flags 0 removes
    EXPECT_EQ(std::tuple(Send(list, 0x201), list.c), std::tuple("", 0));
    list.Remove(Hook<'a'>); // not present: nothing happens
    list.Free();
}

} // namespace
