#include <windows.h>

#include <string>
#include <string_view>

#include "framework/list_rows.h"
#include "framework/wide_text.h"
#include "media/playlist_dlg.h"
#include "media/video_results.h"
#include "net/web_grab.h"

namespace qv {

namespace {

// The row decoded once from the page's bytes and shortened by characters, so that no character
// is cut in half; it stays UTF-16 up to the list.
std::wstring DisplayText(const std::string& row, bool pageIsUtf8) {
    return Wide(ShortenRow(Utf16(Widen(row, pageIsUtf8 ? CP_UTF8 : CP_ACP))));
}

// The search holds the window's thread, so a site that stalls or never ends must not hold it
// for long: five seconds without a byte, ten seconds in all, and a page far larger than a
// results page (a few hundred kilobytes) is cut.
constexpr DWORD kSilenceLimitMs = 5000;
constexpr DWORD kSearchLimitMs = 10000;
constexpr size_t kLargestPage = size_t(4) << 20;

} // namespace

void CPlaylistDlg::RunVideoSearch() {
    const std::wstring query = queryBox.Text();
    if (query.empty()) {
        return;
    }
    searchUrl = ResultsPageUrl(Utf8(query), searchPage);
    queryBox.SetText("Searching...");

    std::string page;
    bool pageIsUtf8 = true;
    {
        // A failure leaves the part of the page that arrived, or nothing; either is scanned.
        // The fetcher goes before the query comes back, so that no line of its closing
        // replaces the query.
        CWebGrab grab;
        grab.receiveTimeout = kSilenceLimitMs;
        grab.totalTime = kSearchLimitMs;
        grab.maxBytes = kLargestPage;
        grab.FetchUrl(searchUrl, page, queryBox.hwnd());
        pageIsUtf8 = PageIsUtf8(grab.RawHeaders());
    }
    queryBox.SetText(query);
    ClearRows(resultList);
    ClearRows(resultLinkList);
    for (const VideoResult& result : ScanResultsPage(page)) {
        AddRow(resultList, DisplayText(result.row, pageIsUtf8));
        AddRow(resultLinkList, Widen(result.link));
    }
}

} // namespace qv
