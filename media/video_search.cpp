#include <windows.h>

#include <string>
#include <string_view>

#include "media/list_rows.h"
#include "media/playlist_dlg.h"
#include "media/video_results.h"
#include "net/web_grab.h"

namespace qv {

namespace {

// wchar_t is UTF-16 on Windows: the portable rules take it as char16_t.
std::u16string Widen(std::string_view text, UINT codePage) {
    const int length = MultiByteToWideChar(codePage, 0, text.data(), int(text.size()), nullptr, 0);
    std::u16string wide(size_t(length > 0 ? length : 0), u'\0');
    if (length > 0) {
        MultiByteToWideChar(codePage, 0, text.data(), int(text.size()),
                            reinterpret_cast<wchar_t*>(wide.data()), length);
    }
    return wide;
}

std::string Narrow(std::u16string_view text, UINT codePage) {
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int length =
        WideCharToMultiByte(codePage, 0, wide, int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string narrow(size_t(length > 0 ? length : 0), '\0');
    if (length > 0) {
        WideCharToMultiByte(codePage, 0, wide, int(text.size()), narrow.data(), length, nullptr,
                            nullptr);
    }
    return narrow;
}

// The row in the system's ANSI code page, shortened by characters once decoded, so that no
// character is cut in half.
std::string DisplayText(const std::string& row, bool pageIsUtf8) {
    return Narrow(ShortenRow(Widen(row, pageIsUtf8 ? CP_UTF8 : CP_ACP)), CP_ACP);
}

} // namespace

void CPlaylistDlg::RunVideoSearch() {
    const std::string query = queryBox.Text();
    if (query.empty()) {
        return;
    }
    searchUrl = ResultsPageUrl(Narrow(Widen(query, CP_ACP), CP_UTF8), searchPage);
    queryBox.SetText("Searching...");

    std::string page;
    bool pageIsUtf8 = true;
    {
        // A failure leaves the part of the page that arrived, or nothing; either is scanned.
        // The fetcher goes before the query comes back, so that no line of its closing
        // replaces the query.
        CWebGrab grab;
        grab.FetchUrl(searchUrl, page, queryBox.hwnd());
        pageIsUtf8 = PageIsUtf8(grab.RawHeaders());
    }
    queryBox.SetText(query.c_str());
    ClearRows(resultList);
    ClearRows(resultLinkList);
    for (const VideoResult& result : ScanResultsPage(page)) {
        AddRow(resultList, DisplayText(result.row, pageIsUtf8));
        AddRow(resultLinkList, result.link);
    }
}

} // namespace qv
