#include "framework/unique_handle.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> closed;
void Close(int handle) {
    closed.push_back(handle);
}
using UniqueInt = qv::Unique<int, &Close, -1>;

TEST(UniqueHandle, ReleasesEachHandleExactlyOnce) {
    closed.clear();
    {
        UniqueInt a(3);
        UniqueInt b(std::move(a));
        EXPECT_FALSE(a);
        UniqueInt c(5);
        c = std::move(b); // 5 closed here, 3 moves in
        EXPECT_EQ(c.get(), 3);
        UniqueInt none;
        UniqueInt kept(7);
        EXPECT_EQ(kept.release(), 7);
    }
    EXPECT_EQ(closed, (std::vector<int>{5, 3}));
}

TEST(UniqueHandle, PutReleasesTheOldHandleFirst) {
    closed.clear();
    UniqueInt a(4);
    *a.put() = 9;
    EXPECT_EQ(closed, std::vector<int>{4});
    EXPECT_EQ(a.get(), 9);
}

} // namespace
