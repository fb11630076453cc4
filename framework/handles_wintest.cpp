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

} // namespace
