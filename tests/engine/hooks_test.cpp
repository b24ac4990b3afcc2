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

// Which hooks heard a message, in order, then "!" when one consumed it.
std::string Send(HOOKLIST& list, UINT message)
{
    g_calls.clear();
    return list.Dispatch(nullptr, message, 0, 0) ? g_calls + "!" : g_calls;
}

TEST(HooksTest, HooksAreCalledByPriorityAndKindUntilOneConsumes)
{
    using HOOK = std::tuple<ANIMHOOK, WORD, WORD>; // function, flags, priority
    const struct {
        char consumeIn;
        std::vector<HOOK> hooks;
        std::vector<std::pair<UINT, std::string>> sends; // message, the hooks that hear it
    } cases[] = {
        // Lower priorities first, newcomers before their equals.
        {0, {{Hook<'a'>, kHookAll, 100}, {Hook<'b'>, kHookAll, 50}, {Hook<'c'>, kHookAll, 100}}, {{0x0F, "bca"}}},
        // Flags choose the kinds of messages.
        {0,
         {{Hook<'a'>, kHookMouse, 100}, {Hook<'b'>, kHookKeyboard, 100}, {Hook<'c'>, kHookMouse | kHookKeyboard, 100}},
         {{0x100, "cb"}, {0x108, "cb"}, {0x201, "ca"}, {0x20A, "ca"}, {0x20B, ""}, {0x0F, ""}}},
        // The first that consumes ends the dispatch.
        {'b', {{Hook<'a'>, kHookAll, 1}, {Hook<'b'>, kHookAll, 2}, {Hook<'c'>, kHookAll, 3}}, {{0x201, "ab!"}}},
        // A hook may remove itself.
        {0, {{Hook<'a'>, kHookAll, 1}, {RemovesItself, kHookAll, 2}, {Hook<'b'>, kHookAll, 3}}, {{1, "arb"}, {1, "ab"}}},
        // A hook added in front waits for the next message.
        {0, {{Hook<'a'>, kHookAll, 5}, {AddsAFrontHook, kHookAll, 10}, {Hook<'b'>, kHookAll, 20}}, {{1, "afb"}, {1, "dafb"}}},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        HOOKLIST list{};
        g_list = &list;
        g_consumeIn = cases[i].consumeIn;
        for (const auto& [function, flags, priority] : cases[i].hooks)
            list.Add(function, flags, priority);
        for (const auto& [message, heard] : cases[i].sends)
            EXPECT_EQ(Send(list, message), heard) << "case " << i << ", message " << message;
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
