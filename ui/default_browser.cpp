#include "ui/default_browser.h"

#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>

#include "framework/handles.h"
#include "framework/ole_apartment.h"
#include "ui/browser_command.h"
#include "ui/web_address.h"

namespace qv {

namespace {

// Wine's shell copies the file it is given into a buffer of about a thousand characters (to
// look it up under App Paths) and overruns it, crashing the caller. Longer URLs go straight to
// the program registered for http.
constexpr size_t kLongestUrlForTheShell = 900;

bool RunHttpCommand(const std::string& url) {
    DWORD size = 0;
    AssocQueryStringW(ASSOCF_NONE, ASSOCSTR_COMMAND, L"http", L"open", nullptr, &size);
    std::wstring command(size, L'\0');
    if (size == 0 || AssocQueryStringW(ASSOCF_NONE, ASSOCSTR_COMMAND, L"http", L"open",
                                       command.data(), &size) != S_OK) {
        return false;
    }
    command.resize(wcsnlen(command.c_str(), command.size()));
    std::wstring line = BrowserCommandLine(command, std::wstring(url.begin(), url.end()));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return false;
    }
    const UniqueKernelHandle thread(process.hThread);
    const UniqueKernelHandle child(process.hProcess);
    return true;
}

bool RunningUnderWine() {
    return GetProcAddress(GetModuleHandleA("ntdll"), "wine_get_version") != nullptr;
}

} // namespace

void OpenInDefaultBrowser(const std::string& url) {
    EnterOleApartment(); // the shell may hand the URL to a COM handler
    const bool shortUrl = url.size() <= kLongestUrlForTheShell;
    if (!shortUrl && RunHttpCommand(url)) {
        return;
    }
    // Windows' shell takes any URL; Wine's would crash on a long one, so it opens nothing.
    if (shortUrl || !RunningUnderWine()) {
        ShellExecuteA(nullptr, "open", url.c_str(), nullptr, nullptr, SW_SHOW);
    }
}

void OpenHelpPage(uint32_t affiliate) {
    OpenInDefaultBrowser(HelpPageUrl(affiliate));
}

} // namespace qv
