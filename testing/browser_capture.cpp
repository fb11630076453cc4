#include "testing/browser_capture.h"

#include <shellapi.h>

#include <fstream>
#include <sstream>

#include "framework/handles.h"
#include "testing/scratch_registry.h"

namespace qv::testing {

namespace {

constexpr const wchar_t* kWineBrowserKey = L"Software\\Wine\\WineBrowser";

// The Unix path of a Windows path, from Wine's own export.
std::string UnixPath(const std::string& windowsPath) {
    using ToUnix = char*(CDECL*)(const wchar_t*);
    const auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
    if (!toUnix) {
        return {};
    }
    const std::wstring wide(windowsPath.begin(), windowsPath.end());
    char* converted = toUnix(wide.c_str());
    std::string path = converted ? converted : "";
    HeapFree(GetProcessHeap(), 0, converted);
    return path;
}

} // namespace

BrowserCapture::BrowserCapture() {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    folder_ = std::string(temp) + "quorvel-browser-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder_.c_str(), nullptr);
    scriptPath_ = folder_ + "\\record.sh";
    recordPath_ = folder_ + "\\urls.txt";
    DeleteFileA(recordPath_.c_str());
    std::ofstream(scriptPath_, std::ios::binary)
        << "printf '%s\\n' \"$1\" >> '" << UnixPath(recordPath_) << "'\n";

    wchar_t previous[1024] = {};
    DWORD size = sizeof previous;
    hadBrowsers_ = RegGetValueW(HKEY_CURRENT_USER, kWineBrowserKey, L"Browsers", RRF_RT_REG_SZ,
                                nullptr, previous, &size) == ERROR_SUCCESS;
    previousBrowsers_ = previous;
    const std::string command = "/bin/sh \"" + UnixPath(scriptPath_) + "\"";
    const std::wstring wide(command.begin(), command.end());
    RegSetKeyValueW(HKEY_CURRENT_USER, kWineBrowserKey, L"Browsers", REG_SZ, wide.c_str(),
                    DWORD((wide.size() + 1) * sizeof(wchar_t)));
}

BrowserCapture::~BrowserCapture() {
    if (hadBrowsers_) {
        RegSetKeyValueW(HKEY_CURRENT_USER, kWineBrowserKey, L"Browsers", REG_SZ,
                        previousBrowsers_.c_str(),
                        DWORD((previousBrowsers_.size() + 1) * sizeof(wchar_t)));
    } else {
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kWineBrowserKey, L"Browsers");
    }
    DeleteFileA(recordPath_.c_str());
    DeleteFileA(scriptPath_.c_str());
    RemoveDirectoryA(folder_.c_str());
}

std::vector<std::string> BrowserCapture::Recorded() const {
    std::ifstream file(recordPath_, std::ios::binary);
    std::vector<std::string> urls;
    for (std::string line; std::getline(file, line);) {
        urls.push_back(line);
    }
    return urls;
}

std::vector<std::string> BrowserCapture::WaitForUrls(size_t count, DWORD timeoutMs) const {
    const DWORD start = GetTickCount();
    std::vector<std::string> urls = Recorded();
    while (urls.size() < count && GetTickCount() - start < timeoutMs) {
        PumpMessagesFor(50);
        urls = Recorded();
    }
    return urls;
}

std::vector<std::string> BrowserCapture::UrlsUpToMarker() const {
    ShellExecuteA(nullptr, "open", kCaptureMarkerUrl, nullptr, nullptr, SW_SHOW);
    const DWORD start = GetTickCount();
    std::vector<std::string> urls = Recorded();
    while ((urls.empty() || urls.back() != kCaptureMarkerUrl) && GetTickCount() - start < 60000) {
        PumpMessagesFor(50);
        urls = Recorded();
    }
    return urls;
}

} // namespace qv::testing
