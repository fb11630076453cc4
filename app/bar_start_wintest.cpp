// The bar's start: it shows itself with its skin painted first, and has made every other window
// before it takes any input; what waits until after that.
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/bar_wintest_support.h"
#include "app/singletons.h"
#include "framework/common_controls.h"
#include "media/media_wintest_support.h"
#include "news/news_wintest_support.h"
#include "res/resource.h"
#include "settings/setting_names.h"
#include "testing/loopback_http_server.h"
#include "testing/program_process.h"
#include "testing/text_pixels.h"

namespace {

using namespace qv;
using namespace qv::testing;

// The libraries that load at their first call; none is needed to show the bar.
constexpr const char* kLibrariesLoadedOnFirstUse[] = {
    "wininet.dll", "urlmon.dll", "shell32.dll", "shlwapi.dll", "comdlg32.dll", "oleaut32.dll"};

std::string Lowercase(std::string text) {
    for (char& c : text) {
        c = char(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

std::set<std::string> ModulesOf(HANDLE process) {
    HMODULE modules[512];
    DWORD bytes = 0;
    std::set<std::string> names;
    if (!EnumProcessModules(process, modules, sizeof modules, &bytes)) {
        return names;
    }
    for (DWORD i = 0; i < bytes / sizeof(HMODULE) && i < std::size(modules); ++i) {
        char name[MAX_PATH] = {};
        if (GetModuleBaseNameA(process, modules[i], name, sizeof name)) {
            names.insert(Lowercase(name));
        }
    }
    return names;
}

// The process's dialog windows, hidden ones too, each named by a control only it has.
std::multimap<std::string, HWND> DialogsOf(DWORD processId) {
    struct Census {
        DWORD processId;
        std::multimap<std::string, HWND> found;
    } census{processId, {}};
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto* census = reinterpret_cast<Census*>(context);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            char className[64] = {};
            GetClassNameA(window, className, sizeof className);
            if (owner != census->processId || std::string(className) != "#32770") {
                return TRUE;
            }
            // Templates share control ids: the first mark found, in this order, names it.
            static constexpr std::pair<int, const char*> kMarks[] = {
                {IDC_BAR_SKIN, "bar"},
                {IDC_ABOUT_TITLE, "about box"},
                {IDC_PLAYLIST_RESULTS, "playlist panel"},
                {IDC_NEWS_TAB_MARKER, "news panel"},
                {IDC_BROWSER_BACK_HOVER, "page browser"},
                {IDC_BALLOON_TOP, "balloon"},
                {IDC_SEARCH_EDIT, "search box"},
                {IDC_PLAYER_BROWSER_CONTROL, "player browser"},
            };
            std::string name = "other";
            for (const auto& [control, mark] : kMarks) {
                if (GetDlgItem(window, control)) {
                    name = mark;
                    break;
                }
            }
            census->found.emplace(name, window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&census));
    return census.found;
}

// Whatever comes first once the bar is on screen, a click or a key finds every window made:
// the program is ready for input only after the start has made them.
TEST(BarStart, EveryWindowExistsBeforeTheFirstInputAndNoLibraryWaitingForFirstUseIsLoaded) {
    NewsSettings noFeeds; // nothing asks for the network
    const UniqueKernelHandle program = StartProgram();
    ASSERT_TRUE(program);
    ASSERT_EQ(WaitForInputIdle(program.get(), kProgramDeadlineMs), 0u);
    std::map<std::string, int> dialogs;
    for (const auto& [name, window] : DialogsOf(GetProcessId(program.get()))) {
        ++dialogs[name];
    }
    const std::map<std::string, int> expected = {
        {"bar", 1},     {"playlist panel", 1}, {"news panel", 1}, {"page browser", 1},
        {"balloon", 1}, {"search box", 1},     {"about box", 1},  {"player browser", 1},
        {"other", 1}, // the player frame: a skin and a hidden OK button, nothing of its own
    };
    EXPECT_EQ(dialogs, expected);
    const HWND bar = AwaitBar(GetProcessId(program.get()));
    ASSERT_NE(bar, nullptr);

    for (const auto& moment : {"when ready for input", "a tick later"}) {
        const std::set<std::string> modules = ModulesOf(program.get());
        ASSERT_TRUE(modules.count("user32.dll")) << "no module list";
        for (const char* library : kLibrariesLoadedOnFirstUse) {
            EXPECT_FALSE(modules.count(library)) << library << " loaded " << moment;
        }
        Sleep(1500);
    }
    PostMessageA(bar, WM_COMMAND, ID_EXIT, 0);
    EXPECT_EQ(WaitForSingleObject(program.get(), qv::testing::kProgramDeadlineMs), WAIT_OBJECT_0);
}

// The atom of a control class as a context names it; a null context leaves the program's own
// manifest alone in effect.
ATOM ClassAtomIn(HANDLE context, const wchar_t* className) {
    ULONG_PTR cookie = 0;
    const bool activated = ActivateActCtx(context, &cookie);
    WNDCLASSEXW info{};
    info.cbSize = sizeof info;
    const ATOM atom = ATOM(GetClassInfoExW(nullptr, className, &info));
    if (activated) {
        DeactivateActCtx(0, cookie);
    }
    return atom;
}

// The common controls with visual styles load only once the bar is on screen: the bar's skin
// controls are the system's plain ones, and every window made after it has the styled ones.
TEST(BarStart, TheBarHasThePlainControlsAndTheWindowsMadeAfterItTheStyledOnes) {
    NewsSettings noFeeds;
    const UniqueKernelHandle program = StartProgram();
    ASSERT_TRUE(program);
    ASSERT_EQ(WaitForInputIdle(program.get(), kProgramDeadlineMs), 0u);
    const std::multimap<std::string, HWND> dialogs = DialogsOf(GetProcessId(program.get()));
    const auto classOf = [&dialogs](const char* dialog, int control) {
        const auto found = dialogs.find(dialog);
        return found == dialogs.end()
                   ? ATOM(0)
                   : ATOM(GetClassWord(GetDlgItem(found->second, control), GCW_ATOM));
    };
    const UniqueActivationContext styled = CommonControlsContext(IDR_COMMON_CONTROLS_MANIFEST);
    ASSERT_NE(styled.get(), nullptr);
    const ATOM plainStatic = ClassAtomIn(nullptr, L"Static");
    const ATOM styledStatic = ClassAtomIn(styled.get(), L"Static");
    ASSERT_NE(plainStatic, styledStatic);

    EXPECT_EQ(classOf("bar", IDC_BAR_SKIN), plainStatic);
    EXPECT_EQ(classOf("bar", IDC_BAR_STOP_HOVER), plainStatic);
    EXPECT_EQ(classOf("about box", IDC_ABOUT_TITLE), styledStatic);
    EXPECT_EQ(classOf("search box", IDC_SEARCH_EDIT), ClassAtomIn(styled.get(), L"Edit"));
    EXPECT_EQ(classOf("playlist panel", IDC_PLAYLIST_RESULTS),
              ClassAtomIn(styled.get(), L"ListBox"));

    PostMessageA(AwaitBar(GetProcessId(program.get())), WM_COMMAND, ID_EXIT, 0);
    EXPECT_EQ(WaitForSingleObject(program.get(), kProgramDeadlineMs), WAIT_OBJECT_0);
}

// Dispatches what comes until `done` holds; false if the deadline passed first.
template <typename Done> bool PumpUntil(Done done) {
    const DWORD start = GetTickCount();
    MSG msg;
    while (!done()) {
        if (GetTickCount() - start > kProgramDeadlineMs) {
            return false;
        }
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        } else {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }
    return true;
}

std::vector<HWND> OtherWindows() {
    return {thePlaylist.hwnd(), theNews.hwnd(),        theBalloon.hwnd(),      theSearchBox.hwnd(),
            theAboutBox.hwnd(), thePlayerFrame.hwnd(), thePlayerBrowser.hwnd()};
}

// The windows this thread's WM_ACTIVATE made active, in order, while it lives.
class ActivationLog {
public:
    ActivationLog()
        : hook_(SetWindowsHookExA(WH_CALLWNDPROC, Record, nullptr, GetCurrentThreadId())) {
        activated_.clear();
    }
    ~ActivationLog() { UnhookWindowsHookEx(hook_); }
    ActivationLog(const ActivationLog&) = delete;
    ActivationLog& operator=(const ActivationLog&) = delete;
    const std::vector<HWND>& Activated() const { return activated_; }

private:
    static LRESULT CALLBACK Record(int code, WPARAM w, LPARAM l) {
        const auto* sent = reinterpret_cast<const CWPSTRUCT*>(l);
        if (code == HC_ACTION && sent->message == WM_ACTIVATE &&
            LOWORD(sent->wParam) != WA_INACTIVE) {
            activated_.push_back(sent->hwnd);
        }
        return CallNextHookEx(nullptr, code, w, l);
    }
    static inline std::vector<HWND> activated_;
    HHOOK hook_;
};

TEST(BarStart, TheBarShowsWithItsSkinPaintedBeforeTheOtherWindowsAreMade) {
    NewsSettings noFeeds;
    const ActivationLog activations;
    ASSERT_TRUE(theBar.Create(nullptr));
    EXPECT_TRUE(theBar.IsVisible());
    // Its icons, left of the value cells, as the skin has them.
    const HBITMAP skin = static_cast<HBITMAP>(LoadImageA(
        GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_BAR_SKIN), IMAGE_BITMAP, 0, 0, 0));
    ASSERT_NE(skin, nullptr);
    const HDC reference = CreateCompatibleDC(nullptr);
    const HGDIOBJ old = SelectObject(reference, skin);
    const WindowDC shown(theBar.hwnd());
    EXPECT_FALSE(AreaDiffers(shown.get(), reference, RECT{0, 0, 49, 18}));
    SelectObject(reference, old);
    DeleteDC(reference);
    DeleteObject(skin);
    for (const HWND window : OtherWindows()) {
        EXPECT_EQ(window, nullptr);
    }
    EXPECT_EQ(GetModuleHandleA("iphlpapi.dll"), nullptr) << "the samplers' library came first";

    ASSERT_TRUE(PumpUntil([] { return thePlayerBrowser.hwnd() != nullptr; }));
    for (const HWND window : OtherWindows()) {
        EXPECT_TRUE(IsWindow(window));
    }
    EXPECT_NE(theBar.PopupMenu(), nullptr);
    // The bar is the active window, as when it showed after them, and the only one that was:
    // none of the hidden windows took the activation from it while they were made.
    EXPECT_EQ(GetActiveWindow(), theBar.hwnd());
    EXPECT_EQ(activations.Activated(), std::vector<HWND>{theBar.hwnd()});

    // The start's message once more, from anyone, makes nothing again.
    const HWND playlist = thePlaylist.hwnd();
    PostMessageA(theBar.hwnd(), kBarStartMessage, 0, 0);
    MSG msg;
    while (PeekMessageA(&msg, theBar.hwnd(), kBarStartMessage, kBarStartMessage, PM_REMOVE)) {
        DispatchMessageA(&msg);
    }
    EXPECT_EQ(thePlaylist.hwnd(), playlist);
    theBar.Destroy();
}

// A click and the hotkey that wait in the queue when the bar has just shown are taken after the
// other windows are made, and reach them: the playlist slides down, the search box opens. (Under
// Wine, a click injected with SendInput did not reach the test's own window, so the click is
// queued as its messages.)
TEST(BarStart, InputQueuedBeforeTheWindowsAreMadeReachesThem) {
    NewsSettings noFeeds;
    ASSERT_TRUE(theBar.Create(nullptr));
    const LPARAM valueCells = MAKELPARAM(170, 15); // off the cells' hover rows
    PostMessageA(theBar.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, valueCells);
    PostMessageA(theBar.hwnd(), WM_LBUTTONUP, 0, valueCells);
    PostMessageA(theBar.hwnd(), WM_HOTKEY, SearchHotKey,
                 MAKELPARAM(MOD_CONTROL | MOD_SHIFT, VK_CONTROL));
    EXPECT_EQ(thePlaylist.hwnd(), nullptr) << "the windows were made before the input was queued";

    EXPECT_TRUE(PumpUntil([] { return thePlaylist.hwnd() && !thePlaylist.IsParked(); }))
        << "the click did not open the playlist";
    EXPECT_TRUE(PumpUntil([] { return theSearchBox.hwnd() && theSearchBox.IsVisible(); }))
        << "the hotkey did not open the search box";
    theBar.Destroy();
}

std::string Feed(int n) {
    const std::string name = std::string(1, 'f').append(std::to_string(n));
    std::string feed = "<rss><channel><item><title>";
    feed.append(name).append("</title><link>http://").append(name);
    return feed.append("/</link></item></channel></rss>");
}

TEST(BarStart, TheFirstFeedRunAndItsNetworkLibraryWaitUntilTheWindowsHavePainted) {
    NewsSettings settings;
    LoopbackHttpServer server;
    FileBesideProgram files[5]{FileBesideProgram("Rss1.xml"), FileBesideProgram("Rss2.xml"),
                               FileBesideProgram("Rss3.xml"), FileBesideProgram("Rss4.xml"),
                               FileBesideProgram("Rss5.xml")};
    const auto requests = [&server] {
        int total = 0;
        for (int n = 1; n <= 5; ++n) {
            total += server.Requests("/feed" + std::to_string(n) + ".xml");
        }
        return total;
    };
    for (int n = 1; n <= 5; ++n) {
        const std::string path = "/feed" + std::to_string(n) + ".xml";
        server.Route(path, Reply::Ok(Feed(n)));
        settings.Text(kFeedSettings[n - 1], "Feed" + std::to_string(n) + "^" + server.Url(path));
    }

    ASSERT_TRUE(CreateStartedBar());
    EXPECT_TRUE(theBar.IsVisible());
    EXPECT_TRUE(theNews.FeedRunGoing()) << "the first run is due";
    EXPECT_EQ(GetModuleHandleA("wininet.dll"), nullptr);
    EXPECT_EQ(requests(), 0);

    ASSERT_TRUE(WaitForFeedRuns(theNews));
    EXPECT_NE(GetModuleHandleA("wininet.dll"), nullptr);
    EXPECT_EQ(requests(), 5);
    EXPECT_EQ(files[0].Read(), Feed(1));
    PumpMessagesFor(100);
    EXPECT_EQ(requests(), 5) << "one first run only";
    theBar.Destroy();
}

} // namespace
