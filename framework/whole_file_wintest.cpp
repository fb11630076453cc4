#include "framework/whole_file.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "framework/handles.h"
#include "framework/program_file_path.h"
#include "testing/message_box_watch.h"

namespace {

using namespace qv;

class WholeFile : public ::testing::Test {
protected:
    void SetUp() override { Remove(); }
    void TearDown() override { Remove(); }
    void Remove() const { DeleteFileA(path.c_str()); }

    const std::string path = ProgramFilePath("whole_file_test.bin");
};

TEST_F(WholeFile, ReadsAndWritesEverything) {
    EXPECT_EQ(WriteWholeFile(path, "first"), 0u);
    EXPECT_EQ(ReplaceWholeFile(path, "second"), 0u);
    FileError error = 1;
    EXPECT_EQ(ReadWholeFileCreatingIt(path, error), "second");
    EXPECT_EQ(error, 0u);
}

TEST_F(WholeFile, AMissingFileIsCreatedEmpty) {
    FileError error = 1;
    EXPECT_EQ(ReadWholeFileCreatingIt(path, error), "");
    EXPECT_EQ(error, 0u);
    EXPECT_NE(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
}

// The size check fails no system call: the error is the reader's own, not whatever an earlier
// call of the thread left behind.
TEST_F(WholeFile, AFileOverTheLimitAnswersFileTooLargeNotAStaleError) {
    {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        LARGE_INTEGER end{};
        end.QuadPart = (1ll << 30) + 1;
        ASSERT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN));
        ASSERT_TRUE(SetEndOfFile(file));
        CloseHandle(file);
    }
    SetLastError(ERROR_ACCESS_DENIED);
    FileError error = 0;
    EXPECT_FALSE(ReadWholeFileCreatingIt(path, error).has_value());
    EXPECT_EQ(error, FileError(ERROR_FILE_TOO_LARGE));
}

TEST_F(WholeFile, AFailedWriteAnswersItsSystemError) {
    CreateDirectoryA(path.c_str(), nullptr);
    EXPECT_NE(WriteWholeFile(path, "x"), 0u);
    EXPECT_NE(ReplaceWholeFile(path, "x"), 0u);
    RemoveDirectoryA(path.c_str());
}

// The box names the file and says the system's words for the error.
TEST_F(WholeFile, AnErrorBoxShowsThePathAndTheSystemsText) {
    const qv::testing::MessageBoxWatch boxes;
    ShowFileError(path, ERROR_ACCESS_DENIED);
    ASSERT_EQ(boxes.Texts().size(), 1u);
    char words[256] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   ERROR_ACCESS_DENIED, 0, words, sizeof words, nullptr);
    ASSERT_NE(words[0], '\0');
    EXPECT_EQ(boxes.Texts()[0], path + "\n" + words);
}

// The system's texts come in buffers the caller frees: their owner frees them, so a long run of
// them (256 of a megabyte here) leaves the process's committed bytes where they were.
TEST(UniqueLocalText, FreesTheBufferItOwns) {
    const auto committedBytes = [] { // the process's own, region by region
        SIZE_T total = 0;
        MEMORY_BASIC_INFORMATION region{};
        for (const char* at = nullptr; VirtualQuery(at, &region, sizeof region);
             at = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
            if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) {
                total += region.RegionSize;
            }
        }
        return total;
    };
    const SIZE_T before = committedBytes();
    constexpr SIZE_T kMegabyte = 1 << 20;
    for (int n = 0; n < 256; ++n) {
        UniqueLocalText text;
        *text.put() = static_cast<char*>(LocalAlloc(LMEM_FIXED, kMegabyte));
        ASSERT_TRUE(text);
        FillMemory(text.get(), kMegabyte, 'x');
    }
    EXPECT_LT(committedBytes(), before + 32 * kMegabyte);
}

} // namespace
