#include "framework/handles.h"

#include <gtest/gtest.h>

namespace {

using namespace qv;

// A font left selected could not be deleted with its owner: each paint would leak one.
TEST(SelectGuard, PutsThePreviousObjectBackAndTheObjectCanGo) {
    const UniqueMemoryDC dc(CreateCompatibleDC(nullptr));
    ASSERT_TRUE(dc);
    const HGDIOBJ original = GetCurrentObject(dc.get(), OBJ_FONT);
    const DWORD objectsBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    {
        UniqueFont font(
            CreateFontA(-12, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial"));
        ASSERT_TRUE(font);
        const SelectGuard selected(dc.get(), font.get());
        EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_FONT), font.get());
    }
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_FONT), original);
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), objectsBefore);
}

// Every owner frees what it holds when it goes: afterwards the handle names nothing.
TEST(Owners, FreeWhatTheyHoldWhenTheyGo) {
    const HMENU menu = CreatePopupMenu();
    const HDC dc = CreateCompatibleDC(nullptr);
    const HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    const HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    const HHOOK hook = SetWindowsHookExA(
        WH_GETMESSAGE,
        [](int code, WPARAM w, LPARAM l) { return CallNextHookEx(nullptr, code, w, l); }, nullptr,
        GetCurrentThreadId());
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &key), ERROR_SUCCESS);
    {
        const UniqueMenu ownedMenu(menu);
        const UniqueMemoryDC ownedDc(dc);
        const UniqueBrush ownedBrush(brush);
        const UniqueKernelHandle ownedEvent(event);
        const UniqueHook ownedHook(hook);
        const UniqueRegKey ownedKey(key);
        ASSERT_TRUE(IsMenu(menu) && GetObjectType(dc) && GetObjectType(brush) && hook);
    }
    EXPECT_FALSE(IsMenu(menu));
    EXPECT_EQ(GetObjectType(dc), 0u);
    EXPECT_EQ(GetObjectType(brush), 0u);
    DWORD flags = 0;
    EXPECT_FALSE(GetHandleInformation(event, &flags));
    EXPECT_FALSE(UnhookWindowsHookEx(hook));
    EXPECT_EQ(RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr, nullptr),
              ERROR_INVALID_HANDLE);
}

} // namespace
