#include "app/quorvel_app.h"

#include <gtest/gtest.h>

#include <string>

#include "res/resource.h"
#include "testing/program_process.h"

namespace {

using qv::UniqueKernelHandle;
using qv::testing::AwaitBar;
using qv::testing::StartProgram;

bool MutexExists() {
    UniqueKernelHandle mutex(OpenMutexA(SYNCHRONIZE, FALSE, qv::kSingleInstanceMutexName));
    return bool(mutex);
}

bool AwaitMutex() {
    const DWORD start = GetTickCount();
    while (!MutexExists() && GetTickCount() - start < qv::testing::kProgramDeadlineMs) {
        Sleep(20);
    }
    return MutexExists();
}

TEST(SingleInstance, ASecondCopyExitsAtOnceAndTheFirstRunsOn) {
    const UniqueKernelHandle first = StartProgram();
    ASSERT_TRUE(first);
    ASSERT_TRUE(AwaitMutex()) << "the first copy never started";

    const UniqueKernelHandle second = StartProgram();
    ASSERT_TRUE(second);
    EXPECT_EQ(WaitForSingleObject(second.get(), qv::testing::kProgramDeadlineMs), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(first.get(), 0), DWORD(WAIT_TIMEOUT)) << "the first copy ended";

    TerminateProcess(first.get(), 0);
    WaitForSingleObject(first.get(), qv::testing::kProgramDeadlineMs);
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
    ASSERT_EQ(WaitForSingleObject(program.get(), qv::testing::kProgramDeadlineMs), WAIT_OBJECT_0);
    DWORD exitCode = STILL_ACTIVE;
    GetExitCodeProcess(program.get(), &exitCode);
    EXPECT_EQ(exitCode, 0u);
    EXPECT_FALSE(MutexExists());
}

} // namespace
