#include "testing/resource_count.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

using qv::testing::GdiObjectCount;
using qv::testing::KernelHandleCount;

// The counts the leak tests compare must see a leak: objects made and not deleted raise them,
// deleting them brings them back.
TEST(ResourceCount, SeesLeakedGdiObjectsAndTheirRelease) {
    const int before = GdiObjectCount();
    ASSERT_GT(before, 0);
    std::vector<HGDIOBJ> leaked;
    for (int i = 0; i < 5; ++i) {
        leaked.push_back(CreateSolidBrush(RGB(i, 2, 3)));
        leaked.push_back(CreateFontA(12 + i, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Arial"));
    }
    EXPECT_EQ(GdiObjectCount(), before + 10);
    for (HGDIOBJ object : leaked) {
        DeleteObject(object);
    }
    EXPECT_EQ(GdiObjectCount(), before);
}

TEST(ResourceCount, SeesLeakedKernelHandlesAndTheirRelease) {
    const int before = KernelHandleCount();
    ASSERT_GT(before, 0);
    std::vector<HANDLE> leaked;
    for (int i = 0; i < 3; ++i) {
        leaked.push_back(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    }
    EXPECT_EQ(KernelHandleCount(), before + 3);
    for (HANDLE handle : leaked) {
        CloseHandle(handle);
    }
    EXPECT_EQ(KernelHandleCount(), before);
}

} // namespace
