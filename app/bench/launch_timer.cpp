// Times how long programs take from their start to a 236 x 18 window of theirs shown on screen
// and answering messages, in launches that alternate between them. tools/measure-idle.sh runs it
// with the bar and the bare reference window in one warm prefix.
//   quorvel_launch_timer.exe ROUNDS NAME=PROGRAM.exe [NAME=PROGRAM.exe ...]
// Prints one line per launch, then each program's median, in milliseconds.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "testing/program_process.h"

namespace {

struct Program {
    std::string name;
    std::string commandLine;
    std::vector<double> milliseconds;
};

struct Search {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindShownBar(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<Search*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && qv::testing::IsShownBar(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return 1000.0 * double(counter.QuadPart) / double(frequency.QuadPart);
}

// One launch: start, wait until the window is shown and its thread answers, then end the
// process and wait for it to be gone, so that the next launch starts from the same state.
double TimeOneLaunch(const Program& program) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::string commandLine = program.commandLine;
    const double start = Now();
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::fprintf(stderr, "cannot start %s (error %lu)\n", program.commandLine.c_str(),
                     GetLastError());
        std::exit(1);
    }
    Search search{process.dwProcessId, nullptr};
    double shown = 0;
    while (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT && Now() - start < 60000) {
        EnumWindows(FindShownBar, reinterpret_cast<LPARAM>(&search));
        DWORD_PTR answer = 0;
        if (search.found &&
            SendMessageTimeoutA(search.found, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answer)) {
            shown = Now() - start;
            break;
        }
        Sleep(2); // a look every 2 ms: closer looks load the server the launch needs
    }
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (shown == 0) {
        std::fprintf(stderr, "%s never showed its window\n", program.name.c_str());
        std::exit(1);
    }
    Sleep(500);
    return shown;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s ROUNDS NAME=PROGRAM.exe...\n", argv[0]);
        return 2;
    }
    const int rounds = std::max(1, std::atoi(argv[1]));
    std::vector<Program> programs;
    for (int i = 2; i < argc; ++i) {
        const std::string argument = argv[i];
        const size_t equals = argument.find('=');
        std::string commandLine(1, '"');
        commandLine.append(argument, equals + 1).push_back('"');
        programs.push_back({argument.substr(0, equals), commandLine, {}});
    }
    for (const Program& program : programs) {
        TimeOneLaunch(program); // warms the prefix and the file cache; not counted
    }
    for (int round = 0; round < rounds; ++round) {
        for (Program& program : programs) {
            program.milliseconds.push_back(TimeOneLaunch(program));
            std::printf("launch %d %-10s %7.1f ms\n", round + 1, program.name.c_str(),
                        program.milliseconds.back());
        }
    }
    for (const Program& program : programs) {
        std::printf("median %-10s %7.1f ms\n", program.name.c_str(), Median(program.milliseconds));
    }
    return 0;
}
