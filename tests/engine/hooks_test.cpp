#include <gtest/gtest.h>

#include <string>

#include "cea_hooks.h"

namespace {

std::string g_calls;
HOOKLIST* g_list;
char g_consumeIn = 0; // the hook that consumes: 'a', 'b', ...

BOOL Record(char name)
{
    g_calls += name;
    return g_consumeIn == name;
}

BOOL HookA(AnimWindow*, UINT, WPARAM, LPARAM) { return Record('a'); }
BOOL HookB(AnimWindow*, UINT, WPARAM, LPARAM) { return Record('b'); }
BOOL HookC(AnimWindow*, UINT, WPARAM, LPARAM) { return Record('c'); }
BOOL HookD(AnimWindow*, UINT, WPARAM, LPARAM) { return Record('d'); }

BOOL RemovesItself(AnimWindow*, UINT, WPARAM, LPARAM)
{
    g_list->Remove(RemovesItself);
    return Record('r');
}

BOOL AddsAFrontHook(AnimWindow*, UINT, WPARAM, LPARAM)
{
    g_list->Add(HookD, kHookAll, 1);
    return Record('f');
}

class HooksTest : public testing::Test {
protected:
    void SetUp() override
    {
        g_calls.clear();
        g_consumeIn = 0;
        g_list = &list;
    }
    void TearDown() override { list.Free(); }

    std::string Send(UINT message)
    {
        g_calls.clear();
        list.Dispatch(nullptr, message, 0, 0);
        return g_calls;
    }

    HOOKLIST list{};
};

TEST_F(HooksTest, LowerPrioritiesAreCalledFirstAndNewcomersGoBeforeTheirEquals)
{
    list.Add(HookA, kHookAll, 100);
    list.Add(HookB, kHookAll, 50);
    list.Add(HookC, kHookAll, 100);
    EXPECT_EQ(Send(0x0F), "bca");
}

TEST_F(HooksTest, FlagsChooseTheKindsOfMessages)
{
    list.Add(HookA, kHookMouse);
    list.Add(HookB, kHookKeyboard);
    list.Add(HookC, kHookMouse | kHookKeyboard);
    EXPECT_EQ(Send(0x100), "cb");  // key down
    EXPECT_EQ(Send(0x108), "cb");
    EXPECT_EQ(Send(0x201), "ca");  // button down
    EXPECT_EQ(Send(0x20A), "ca");  // wheel
    EXPECT_EQ(Send(0x20B), "");
    EXPECT_EQ(Send(0x0F), "");
}

TEST_F(HooksTest, TheFirstHookThatConsumesEndsTheDispatch)
{
    list.Add(HookA, kHookAll, 1);
    list.Add(HookB, kHookAll, 2);
    list.Add(HookC, kHookAll, 3);
    g_consumeIn = 'b';
    EXPECT_TRUE(list.Dispatch(nullptr, 0x201, 0, 0));
    EXPECT_EQ(g_calls, "ab");
    g_consumeIn = 0;
    EXPECT_FALSE(list.Dispatch(nullptr, 0x201, 0, 0));
}

TEST_F(HooksTest, AddingAgainCountsAndWidensTheFlags)
{
    list.Add(HookA, kHookMouse);
    list.Add(HookA, kHookKeyboard);
    EXPECT_EQ(list.c, 1);
    EXPECT_EQ(Send(0x100), "a");
    list.Remove(HookA);
    EXPECT_EQ(Send(0x201), "a");
    list.Add(HookA, 0); // flags 0 removes
    EXPECT_EQ(Send(0x201), "");
    EXPECT_EQ(list.c, 0);
    list.Remove(HookA); // not present: nothing happens
}

TEST_F(HooksTest, AHookMayRemoveItselfDuringDispatch)
{
    list.Add(HookA, kHookAll, 1);
    list.Add(RemovesItself, kHookAll, 2);
    list.Add(HookB, kHookAll, 3);
    EXPECT_EQ(Send(1), "arb");
    EXPECT_EQ(Send(1), "ab");
}

TEST_F(HooksTest, AHookAddedInFrontDuringDispatchWaitsForTheNextMessage)
{
    list.Add(HookA, kHookAll, 5);
    list.Add(AddsAFrontHook, kHookAll, 10);
    list.Add(HookB, kHookAll, 20);
    EXPECT_EQ(Send(1), "afb");
    EXPECT_EQ(Send(1), "dafb");
}

} // namespace
