#include "framework/program_path.h"

#include <gtest/gtest.h>

namespace {

TEST(ProgramPath, KeepsTheDirectoryWithItsLastSeparator) {
    EXPECT_EQ(qv::DirectoryWithSeparator("C:\\Program Files\\Quorvel\\Quorvel.exe"),
              "C:\\Program Files\\Quorvel\\");
    EXPECT_EQ(qv::DirectoryWithSeparator("Z:\\work\\bin\\other.exe"), "Z:\\work\\bin\\");
    EXPECT_EQ(qv::DirectoryWithSeparator("build/win/bin/Quorvel.exe"), "build/win/bin/");
    EXPECT_EQ(qv::DirectoryWithSeparator("Quorvel.exe"), "");
    EXPECT_EQ(qv::DirectoryWithSeparator(""), "");
}

} // namespace
