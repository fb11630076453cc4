#include "framework/program_file_path.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

TEST(ProgramFilePath, IsBesideTheProgramsOwnFile) {
    char module[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    std::string expected(module);
    expected.resize(expected.find_last_of('\\') + 1);
    EXPECT_EQ(qv::ProgramFilePath("QVPlaylist.ini"), expected + "QVPlaylist.ini");
    EXPECT_NE(GetFileAttributesA(qv::ProgramFilePath("quorvel_wintests.exe").c_str()),
              INVALID_FILE_ATTRIBUTES);
}

} // namespace
