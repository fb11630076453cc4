#include "news/tab_tips.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>

#include "framework/display_scale.h"
#include "news/news_layout.h"

namespace qv {

namespace {

constexpr int64_t kUnixEpochIn100ns = 116444736000000000;
// Wide enough for a reason and two times on two lines.
constexpr int kTipWidth = 260;

TOOLINFOW ToolOf(HWND panel, int feed) {
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = panel;
    tool.uId = UINT_PTR(feed);
    return tool;
}

SYSTEMTIME LocalTime(int64_t utcSeconds) {
    utcSeconds = std::clamp<int64_t>(utcSeconds, 0, 253402300799); // up to the year 9999
    const uint64_t ticks = uint64_t(utcSeconds * 10000000 + kUnixEpochIn100ns);
    const FILETIME file{DWORD(ticks), DWORD(ticks >> 32)};
    SYSTEMTIME utc{}, local{};
    FileTimeToSystemTime(&file, &utc);
    SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local);
    return local;
}

} // namespace

void TabTips::Create(HWND panel) {
    panel_ = panel;
    tip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, panel,
                           nullptr, nullptr, nullptr);
    if (!tip_) {
        return;
    }
    for (int feed = 1; feed <= kNewsFeedCount; ++feed) {
        TOOLINFOW tool = ToolOf(panel, feed);
        tool.uFlags = TTF_SUBCLASS;
        tool.lpszText = const_cast<wchar_t*>(L"");
        SendMessageW(tip_, TTM_ADDTOOLW, 0, LPARAM(&tool));
    }
}

void TabTips::Place(int dpi) const {
    if (!tip_) {
        return;
    }
    SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, ScaleLength(kTipWidth, dpi));
    for (int feed = 1; feed <= kNewsFeedCount; ++feed) {
        TOOLINFOW tool = ToolOf(panel_, feed);
        const ZoneBounds zone = NewsTabZone(feed, dpi);
        tool.rect = {zone.left, zone.top, zone.right, zone.bottom};
        SendMessageW(tip_, TTM_NEWTOOLRECTW, 0, LPARAM(&tool));
    }
}

void TabTips::SetText(int feed, const std::wstring& text) const {
    if (!tip_) {
        return;
    }
    TOOLINFOW tool = ToolOf(panel_, feed);
    tool.lpszText = const_cast<wchar_t*>(text.c_str()); // copied by the control
    SendMessageW(tip_, TTM_UPDATETIPTEXTW, 0, LPARAM(&tool));
}

int64_t UtcSecondsNow() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const int64_t ticks = int64_t((uint64_t(now.dwHighDateTime) << 32) | now.dwLowDateTime);
    return (ticks - kUnixEpochIn100ns) / 10000000;
}

std::wstring LocalTimeWords(int64_t utcSeconds, int64_t now) {
    const SYSTEMTIME time = LocalTime(utcSeconds);
    const SYSTEMTIME today = LocalTime(now);
    wchar_t clock[64] = {};
    GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, TIME_NOSECONDS, &time, nullptr, clock,
                    int(std::size(clock)));
    if (time.wYear == today.wYear && time.wMonth == today.wMonth && time.wDay == today.wDay) {
        return clock;
    }
    wchar_t date[64] = {};
    GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, date,
                    int(std::size(date)), nullptr);
    return std::wstring(date) + L" " + clock;
}

} // namespace qv
