// What the bar's start does before it shows itself, and what waits until after.
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <set>
#include <string>

#include "app/singletons.h"
#include "media/media_wintest_support.h"
#include "news/news_wintest_support.h"
#include "res/resource.h"
#include "settings/setting_names.h"
#include "testing/loopback_http_server.h"
#include "testing/program_process.h"

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
std::map<std::string, int> DialogsOf(DWORD processId) {
    struct Census {
        DWORD processId;
        std::map<std::string, int> found;
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
            ++census->found[name];
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&census));
    return census.found;
}

TEST(BarStart, EveryWindowExistsWhenTheBarShowsAndNoLibraryWaitingForFirstUseIsLoaded) {
    NewsSettings noFeeds; // nothing asks for the network
    const UniqueKernelHandle program = StartProgram();
    ASSERT_TRUE(program);
    const HWND bar = AwaitBar(GetProcessId(program.get()));
    ASSERT_NE(bar, nullptr);

    const std::map<std::string, int> dialogs = DialogsOf(GetProcessId(program.get()));
    const std::map<std::string, int> expected = {
        {"bar", 1},     {"playlist panel", 1}, {"news panel", 1}, {"page browser", 1},
        {"balloon", 1}, {"search box", 1},     {"about box", 1},  {"player browser", 1},
        {"other", 1}, // the player frame: a skin and a hidden OK button, nothing of its own
    };
    EXPECT_EQ(dialogs, expected);

    for (const auto& moment : {"when the bar shows", "a tick later"}) {
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

    ASSERT_TRUE(theBar.Create(nullptr));
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
