#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "framework/list_rows.h"
#include "framework/program_file_path.h"
#include "framework/wide_text.h"
#include "news/rss_dlg.h"
#include "res/resource.h"
#include "testing/scratch_registry.h"

namespace qv::testing {

// The settings key, emptied before and after a test, with the fetch states the feeds' addresses
// left beside their files.
class NewsSettings {
public:
    NewsSettings() { Clear(); }
    NewsSettings(const NewsSettings&) = delete;
    NewsSettings& operator=(const NewsSettings&) = delete;
    ~NewsSettings() { Clear(); }

    void Text(const char* name, const std::string& text) const {
        RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\Quorvel", name, REG_SZ, text.c_str(),
                        DWORD(text.size() + 1));
    }
    // Stored as the settings dialog stores it: UTF-16, from UTF-8.
    void UnicodeText(const char* name, const std::string& utf8) const {
        const std::wstring text = FromUtf8(utf8);
        RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Quorvel", FromUtf8(name).c_str(), REG_SZ,
                        text.c_str(), DWORD((text.size() + 1) * sizeof(wchar_t)));
    }
    void Number(const char* name, DWORD number) const {
        RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\Quorvel", name, REG_DWORD, &number,
                        sizeof number);
    }
    static void Clear() {
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Quorvel");
        for (int n = 1; n <= 5; ++n) {
            DeleteFileW(
                FromUtf8(ProgramFilePath(("Rss" + std::to_string(n) + ".xml.fetch").c_str()))
                    .c_str());
        }
    }
    DWORD ReadNumber(const char* name) const {
        DWORD number = 0xDEAD;
        DWORD size = sizeof number;
        RegGetValueA(HKEY_CURRENT_USER, "Software\\Quorvel", name, RRF_RT_REG_DWORD, nullptr,
                     &number, &size);
        return number;
    }
};

inline std::vector<std::string> ListRows(const CRssDlg& news, int id) {
    const Window list(news.Item(id));
    std::vector<std::string> rows;
    for (int i = 0; i < RowCount(list); ++i) {
        rows.push_back(Narrow(RowText(list, i)));
    }
    return rows;
}

// The rows of a list read through the wide messages, as a Unicode list box holds them.
inline std::vector<std::wstring> UnicodeRows(const CRssDlg& news, int id) {
    const Window list(news.Item(id));
    std::vector<std::wstring> rows;
    for (int i = 0; i < RowCount(list); ++i) {
        rows.push_back(RowText(list, i));
    }
    return rows;
}

// Handles messages until the feed runs have ended and their rows are listed; false if they were
// not within the time.
inline bool WaitForFeedRuns(const CRssDlg& news, DWORD milliseconds = 30000) {
    const DWORD start = GetTickCount();
    while (news.FeedRunGoing() || news.ListingRows()) {
        if (GetTickCount() - start > milliseconds) {
            return false;
        }
        PumpMessagesFor(10);
    }
    return true;
}

// Sends a message to the window from a thread of its own every few milliseconds and keeps the
// longest wait for the answer: how long the window's thread was busy.
class GuiPinger {
public:
    explicit GuiPinger(HWND window)
        : thread_([this, window] {
              while (!stop_) {
                  const DWORD start = GetTickCount();
                  DWORD_PTR result = 0;
                  SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
                  const DWORD waited = GetTickCount() - start;
                  if (!stop_) { // the last ping may wait for the stop itself
                      longest_ = std::max<DWORD>(longest_, waited);
                      ++pings_;
                  }
                  Sleep(5);
              }
              ended_ = true;
          }) {}
    GuiPinger(const GuiPinger&) = delete;
    GuiPinger& operator=(const GuiPinger&) = delete;
    ~GuiPinger() { Stop(); }

    // Keeps handling messages while the thread ends, so its last ping is answered.
    void Stop() {
        stop_ = true;
        if (thread_.joinable()) {
            while (!ended_) {
                PumpMessagesFor(5);
            }
            thread_.join();
        }
    }
    DWORD LongestWaitMs() const { return longest_; }
    int Pings() const { return pings_; }

private:
    std::atomic<bool> stop_{false};
    std::atomic<bool> ended_{false};
    std::atomic<DWORD> longest_{0};
    std::atomic<int> pings_{0};
    std::thread thread_;
};

} // namespace qv::testing
