#include "app/quorvel_app.h"

#include <gtest/gtest.h>

#include <string>

#include "framework/handles.h"
#include "framework/program_file_path.h"

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

TEST(SingleInstance, ASecondCopyExitsAtOnceAndTheFirstRunsOn) {
    const UniqueKernelHandle first = StartProgram();
    ASSERT_TRUE(first);
    for (int i = 0; i < 100 && !MutexExists(); ++i) {
        Sleep(100);
    }
    ASSERT_TRUE(MutexExists()) << "the first copy never started";

    const UniqueKernelHandle second = StartProgram();
    ASSERT_TRUE(second);
    EXPECT_EQ(WaitForSingleObject(second.get(), 10000), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(first.get(), 0), DWORD(WAIT_TIMEOUT)) << "the first copy ended";

    TerminateProcess(first.get(), 0);
    WaitForSingleObject(first.get(), 10000);
}

} // namespace
