#include "framework/program_file_path.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "framework/handles.h"
#include "framework/wide_text.h"

namespace {

namespace fs = std::filesystem;

fs::path ThisProgram() {
    std::wstring module(32768, L'\0');
    module.resize(GetModuleFileNameW(nullptr, module.data(), DWORD(module.size())));
    return module;
}

TEST(ProgramFilePath, IsBesideTheProgramsOwnFile) {
    const std::string folder = qv::Utf8(ThisProgram().parent_path().wstring()) + "\\";
    EXPECT_EQ(qv::ProgramFilePath("QVPlaylist.ini"), folder + "QVPlaylist.ini");
    EXPECT_NE(GetFileAttributesW(qv::FromUtf8(qv::ProgramFilePath("quorvel_wintests.exe")).c_str()),
              INVALID_FILE_ATTRIBUTES);
}

// A copy of these tests, in a folder named outside the ANSI code page, runs those that keep files
// beside the program and write the Run entry: every one of them passes there too.
TEST(ProgramFilePath, FilesBesideTheProgramAndTheRunEntryHoldInAFolderNamedInAnyScript) {
    const fs::path folder = ThisProgram().parent_path() /
                            L"\u041A\u0432\u0430\u0440\u0442\u0430\u043B "
                            L"\u03A9\u03BC\u03AD\u03B3\u03B1 "
                            L"\u6771\u4EAC"; // Квартал Ωμέγα 東京
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    ASSERT_TRUE(fs::create_directory(folder));
    fs::copy_file(ThisProgram(), folder / ThisProgram().filename());
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const fs::path report = fs::path(temp) / L"quorvel-unicode-folder.xml";
    fs::remove(report, ignored);

    std::wstring command = L"\"" + (folder / ThisProgram().filename()).wstring() +
                           L"\" --gtest_output=xml:" + report.wstring() +
                           L" --gtest_filter=ProgramFilePath.IsBeside*:PlaylistFile.*:"
                           L"OptionsPlaylist.OkWritesThePlaylistEveryValueAndTheRunEntry:"
                           L"FeedRuns.AtCreation*:FeedRuns.ALocalFeed*:FeedRuns.Addresses*";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &started));
    const qv::UniqueKernelHandle process(started.hProcess);
    const qv::UniqueKernelHandle thread(started.hThread);
    ASSERT_EQ(WaitForSingleObject(process.get(), 120000), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.get(), &exitCode);
    EXPECT_EQ(exitCode, 0u);
    std::ifstream in(report);
    const std::string xml{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_NE(xml.find("failures=\"0\""), std::string::npos) << xml;
    EXPECT_EQ(xml.find("tests=\"0\""), std::string::npos) << "none ran";
    EXPECT_EQ(xml.find("<skipped"), std::string::npos) << xml;
    fs::remove(report, ignored);
    fs::remove_all(folder, ignored);
}

} // namespace
