#include "app/quorvel_app.h"

#include <gtest/gtest.h>

#include <string>

#include "framework/handles.h"
#include "framework/program_file_path.h"
#include "res/resource.h"

namespace {

using qv::UniqueKernelHandle;

UniqueKernelHandle StartProgram() {
    std::string commandLine(1, '"');
    commandLine.append(qv::ProgramFilePath("Quorvel.exe")).push_back('"');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return {};
    }
    CloseHandle(process.hThread);
    return UniqueKernelHandle(process.hProcess);
}

bool MutexExists() {
    UniqueKernelHandle mutex(OpenMutexA(SYNCHRONIZE, FALSE, qv::kSingleInstanceMutexName));
    return bool(mutex);
}

bool AwaitMutex() {
    for (int i = 0; i < 100 && !MutexExists(); ++i) {
        Sleep(100);
    }
    return MutexExists();
}

// The process's top-level window of the bar's size, once it has one.
HWND AwaitBar(DWORD processId) {
    struct Search {
        DWORD processId;
        HWND bar;
    } search{processId, nullptr};
    for (int i = 0; i < 100 && !search.bar; ++i) {
        EnumWindows(
            [](HWND window, LPARAM context) -> BOOL {
                auto* search = reinterpret_cast<Search*>(context);
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                RECT rect{};
                GetWindowRect(window, &rect);
                if (owner == search->processId && IsWindowVisible(window) &&
                    rect.right - rect.left == 236 && rect.bottom - rect.top == 18) {
                    search->bar = window;
                }
                return search->bar == nullptr;
            },
            reinterpret_cast<LPARAM>(&search));
        if (!search.bar) {
            Sleep(100);
        }
    }
    return search.bar;
}

TEST(SingleInstance, ASecondCopyExitsAtOnceAndTheFirstRunsOn) {
    const UniqueKernelHandle first = StartProgram();
    ASSERT_TRUE(first);
    ASSERT_TRUE(AwaitMutex()) << "the first copy never started";

    const UniqueKernelHandle second = StartProgram();
    ASSERT_TRUE(second);
    EXPECT_EQ(WaitForSingleObject(second.get(), 10000), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(first.get(), 0), DWORD(WAIT_TIMEOUT)) << "the first copy ended";

    TerminateProcess(first.get(), 0);
    WaitForSingleObject(first.get(), 10000);
}

// The adapter reader's thread is running by then; ending must not wait on it or crash.
TEST(ProgramExit, TheExitCommandEndsTheRunningProgram) {
    const UniqueKernelHandle program = StartProgram();
    ASSERT_TRUE(program);
    ASSERT_TRUE(AwaitMutex());
    const HWND bar = AwaitBar(GetProcessId(program.get()));
    ASSERT_NE(bar, nullptr);
    Sleep(1500); // a tick or so, so a background reading has come and gone
    PostMessageA(bar, WM_COMMAND, ID_EXIT, 0);
    ASSERT_EQ(WaitForSingleObject(program.get(), 10000), WAIT_OBJECT_0);
    DWORD exitCode = STILL_ACTIVE;
    GetExitCodeProcess(program.get(), &exitCode);
    EXPECT_EQ(exitCode, 0u);
    EXPECT_FALSE(MutexExists());
}

} // namespace
