// Feeds arbitrary pages, queries and rows to the video search's rules: whatever the site sends,
// they must give rows and addresses without crashing or undefined behaviour.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "media/video_results.h"

namespace {

// Bytes 1 and 2 stand for the result marker and the title's end marker, so that the fuzzer
// reaches pages full of results without having to find 39 exact characters.
std::string PageFrom(std::string_view text) {
    std::string page;
    for (const char c : text) {
        if (c == '\x01') {
            page += "<a class=\"newvtitlelink\" href=\"/watch?v=";
        } else if (c == '\x02') {
            page += "</a><br/>";
        } else {
            page += c;
        }
    }
    return page;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const qv::VideoResult& result : qv::ScanResultsPage(PageFrom(text))) {
        if (result.link.size() > 11 + qv::EmbedLink("").size()) {
            __builtin_trap(); // a video id is at most 11 characters
        }
        if (result.row.find('<') != std::string::npos) {
            __builtin_trap(); // every "<" is taken out of a title
        }
        const std::u16string row(result.row.begin(), result.row.end());
        if (qv::ShortenRow(row).size() > 28) {
            __builtin_trap(); // 10 + 2 + 14, one more for a whole surrogate pair at each cut
        }
    }
    qv::ResultsPageUrl(text, int(size));
    qv::PageIsUtf8(text);
    std::u16string units(size / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i) {
        units[i] = char16_t(data[2 * i] | data[2 * i + 1] << 8);
    }
    qv::ShortenRow(units);
    return 0;
}
