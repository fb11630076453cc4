// Times how long programs take from their start to two moments, each in launches of its own
// that alternate between the programs:
//   painted: a 236 x 18 window of theirs is shown and its picture is on the screen, read back
//     from the screen: the bar's skin (bitmap 138 of the program, where the program has one),
//     else any pixel other than the black of the bare window's background (its text);
//   ready: the process waits for input (WaitForInputIdle: its thread has taken every message
//     queued before) and its window answers a message.
// tools/measure-idle.sh runs it with the bar and the bare reference window in one warm prefix.
//   quorvel_launch_timer.exe ROUNDS NAME=PROGRAM.exe [NAME=PROGRAM.exe ...]
// Prints one line per launch, then each program's medians, in milliseconds.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "testing/program_process.h"

namespace {

constexpr int kSkinBitmap = 138;
constexpr int kBarWidth = 236;
constexpr int kBarHeight = 18;

// The picture a program's window must show, 236 x 18, as 0x00RRGGBB; empty when any pixel
// other than black will do.
using Picture = std::vector<uint32_t>;

struct Program {
    std::string name;
    std::string commandLine;
    Picture skin;
    std::vector<double> painted;
    std::vector<double> ready;
};

// The 236 x 18 pixels at the top left of `source`, in a top-down 32-bit DIB.
Picture Pixels(HDC source, int x, int y) {
    BITMAPINFO info{};
    info.bmiHeader = {
        sizeof(BITMAPINFOHEADER), kBarWidth, -kBarHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const HDC memory = CreateCompatibleDC(source);
    const HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, kBarWidth, kBarHeight, source, x, y, SRCCOPY);
    GdiFlush();
    const auto* first = static_cast<const uint32_t*>(bits);
    Picture pixels(first, first + kBarWidth * kBarHeight);
    for (uint32_t& pixel : pixels) {
        pixel &= 0xFFFFFF;
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return pixels;
}

Picture SkinOf(const std::string& program) {
    const HMODULE module = LoadLibraryExA(
        program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module) {
        return {};
    }
    Picture skin;
    if (const auto bitmap = static_cast<HBITMAP>(LoadImageA(
            module, MAKEINTRESOURCEA(kSkinBitmap), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION))) {
        const HDC memory = CreateCompatibleDC(nullptr);
        const HGDIOBJ old = SelectObject(memory, bitmap);
        skin = Pixels(memory, 0, 0);
        SelectObject(memory, old);
        DeleteDC(memory);
        DeleteObject(bitmap);
    }
    FreeLibrary(module);
    return skin;
}

// The skin's icons on the left (x 0 to 48) never change and lie outside the value cells that
// the bar paints over it; pure green is the colour key, shown as whatever lies beneath.
bool ShowsPicture(HWND window, const Picture& skin) {
    RECT rect{};
    GetWindowRect(window, &rect);
    const HDC screen = GetDC(nullptr);
    const Picture shown = Pixels(screen, rect.left, rect.top);
    ReleaseDC(nullptr, screen);
    if (skin.empty()) {
        for (uint32_t pixel : shown) {
            if (pixel != 0) {
                return true;
            }
        }
        return false;
    }
    for (int y = 0; y < kBarHeight; ++y) {
        for (int x = 0; x < 49; ++x) {
            const uint32_t wanted = skin[size_t(y * kBarWidth + x)];
            if (wanted != 0x00FF00 && shown[size_t(y * kBarWidth + x)] != wanted) {
                return false;
            }
        }
    }
    return true;
}

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

enum class Moment { Painted, Ready };

// One launch: start, wait for the moment, then end the process and wait for it to be gone, so
// that the next launch starts from the same state. Each moment has launches of its own: reading
// the screen while the program starts costs the server the program needs.
double TimeOneLaunch(const Program& program, Moment moment) {
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
    double reached = 0;
    while (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT && Now() - start < 60000) {
        if (!search.found) {
            EnumWindows(FindShownBar, reinterpret_cast<LPARAM>(&search));
        }
        DWORD_PTR answer = 0;
        if (search.found &&
            (moment == Moment::Painted ? ShowsPicture(search.found, program.skin)
                                       : WaitForInputIdle(process.hProcess, 0) == 0 &&
                                             SendMessageTimeoutA(search.found, WM_NULL, 0, 0,
                                                                 SMTO_NORMAL, 10000, &answer))) {
            reached = Now() - start;
            break;
        }
        Sleep(2); // a look every 2 ms: closer looks load the server the launch needs
    }
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (reached == 0) {
        std::fprintf(stderr, "%s never %s\n", program.name.c_str(),
                     moment == Moment::Painted ? "showed its picture" : "became ready for input");
        std::exit(1);
    }
    Sleep(500);
    return reached;
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
        programs.push_back(
            {argument.substr(0, equals), commandLine, SkinOf(argument.substr(equals + 1)), {}, {}});
    }
    for (const Program& program : programs) {
        TimeOneLaunch(program, Moment::Ready); // warms the prefix and the file cache; not counted
    }
    for (int round = 0; round < rounds; ++round) {
        for (Program& program : programs) {
            program.painted.push_back(TimeOneLaunch(program, Moment::Painted));
            program.ready.push_back(TimeOneLaunch(program, Moment::Ready));
            std::printf("launch %d %-10s painted %7.1f ms   ready %7.1f ms\n", round + 1,
                        program.name.c_str(), program.painted.back(), program.ready.back());
        }
    }
    for (const Program& program : programs) {
        std::printf("median %-10s painted %7.1f ms   ready %7.1f ms\n", program.name.c_str(),
                    Median(program.painted), Median(program.ready));
    }
    return 0;
}
