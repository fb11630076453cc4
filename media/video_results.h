#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qv {

// The video site that the search asks; its results pages and its embed links share the host.
inline constexpr std::string_view kVideoSiteHost = "www.youtube.com";

// The results-page address for a query and a page number. The query is percent-encoded as
// UTF-8 (letters, digits and "-._~" stay), so that "&", "#", "+", "%" and spaces reach the site
// as typed; `query` must already be UTF-8.
std::string ResultsPageUrl(std::string_view query, int page);
// The Flash embed link of a video id.
std::string EmbedLink(std::string_view videoId);

// One result of a page: its numbered, cleaned row text (before any shortening) and its link.
struct VideoResult {
    std::string row;
    std::string link;
};

// Every result marker of the page yields a result, numbered from 1; a result whose title has no
// end marker is kept with an empty title and ends the scan.
std::vector<VideoResult> ScanResultsPage(std::string_view page);

// A row longer than 24 characters shows its first 10, two dots and its last 14. Characters are
// UTF-16 code units, but a surrogate pair is never cut in half.
std::u16string ShortenRow(std::u16string_view row);

// Whether the response headers leave the page to be read as UTF-8: they declare it, or name no
// charset at all (what the site sends today).
bool PageIsUtf8(std::string_view rawHeaders);

} // namespace qv
