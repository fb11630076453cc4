#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "news/feed_encoding.h"
#include "news/feed_scanner.h"
#include "news/news_link.h"

namespace {

bool Within(std::string_view part, std::string_view text) {
    return part.empty() ||
           (part.data() >= text.data() && part.data() + part.size() <= text.data() + text.size());
}

bool Trimmed(std::string_view part) {
    return qv::TrimFeedSpace(part).size() == part.size();
}

} // namespace

// Any bytes scan without fault; every item lies inside the text, trimmed, and its line holds no
// apostrophe entity any more.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const qv::FeedText feed = qv::PrepareFeedText(bytes);
    if (feed.text.find('\0') != std::string_view::npos) {
        std::abort();
    }
    int number = 1;
    for (const qv::FeedItem& item : qv::ScanFeedItems(feed.text)) {
        if (!Within(item.title, feed.text) || !Within(item.link, feed.text) ||
            !Trimmed(item.title) || !Trimmed(item.link)) {
            std::abort();
        }
        const std::string line = qv::NumberedNewsLine(number++, item.title);
        if (line.find("&apos;") != std::string::npos || line.find("&#8217;") != std::string::npos) {
            std::abort();
        }
        qv::TitleCodePage(item.title, feed.codePage);
        qv::IsOpenableNewsLink(item.link);
    }
    return 0;
}
