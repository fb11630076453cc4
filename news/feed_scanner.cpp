#include "news/feed_scanner.h"

#include <cstring>

namespace qv {

namespace {

constexpr std::string_view kItemTag = "<item>";
constexpr std::string_view kTitleTag = "<title>";
constexpr std::string_view kTitleEnd = "</title>";
constexpr std::string_view kLinkTag = "<link>";
constexpr std::string_view kLinkEnd = "</link>";
constexpr size_t npos = std::string_view::npos;

bool IsFeedSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

std::string_view Between(std::string_view text, size_t open, size_t openLength, size_t close) {
    if (open == npos || close == npos) {
        return {};
    }
    return TrimFeedSpace(text.substr(open + openLength, close - open - openLength));
}

} // namespace

// memchr for the first byte, then a compare: the tags all start with '<', and memchr is the
// fastest scan the C library offers on every platform.
size_t FindInFeed(std::string_view text, std::string_view needle, size_t from) {
    if (from == npos || needle.empty() || from > text.size() ||
        text.size() - from < needle.size()) {
        return npos;
    }
    const char* const begin = text.data();
    const char* p = begin + from;
    const char* const last = begin + text.size() - needle.size();
    const char first = needle.front();
    const char* const rest = needle.data() + 1;
    const size_t restLength = needle.size() - 1;
    while (p <= last) {
        p = static_cast<const char*>(std::memchr(p, first, size_t(last - p) + 1));
        if (!p) {
            return npos;
        }
        if (std::memcmp(p + 1, rest, restLength) == 0) {
            return size_t(p - begin);
        }
        ++p;
    }
    return npos;
}

std::string_view TrimFeedSpace(std::string_view text) {
    while (!text.empty() && IsFeedSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsFeedSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::vector<FeedItem> ScanFeedItems(std::string_view text) {
    std::vector<FeedItem> items;
    size_t scan = FindInFeed(text, kItemTag, 0);
    while (scan != npos) {
        const size_t title = FindInFeed(text, kTitleTag, scan);
        if (title == npos) {
            break;
        }
        const size_t titleEnd = FindInFeed(text, kTitleEnd, title);
        const size_t link = FindInFeed(text, kLinkTag, titleEnd);
        const size_t linkEnd = FindInFeed(text, kLinkEnd, link);
        items.push_back({Between(text, title, kTitleTag.size(), titleEnd),
                         Between(text, link, kLinkTag.size(), linkEnd)});
        scan = linkEnd;
    }
    return items;
}

// None of the three entities contains an apostrophe, so one pass from the left replaces
// exactly what three passes in turn would.
std::string ReplaceApostropheEntities(std::string_view title) {
    static constexpr std::string_view kEntities[] = {"&apos;", "&#8217;", "&#8216;"};
    std::string line;
    line.reserve(title.size());
    size_t i = 0;
    while (i < title.size()) {
        const size_t amp = title.find('&', i);
        if (amp == npos) {
            line.append(title.substr(i));
            break;
        }
        line.append(title.substr(i, amp - i));
        i = amp + 1;
        line.push_back('&');
        for (std::string_view entity : kEntities) {
            if (title.substr(amp).starts_with(entity)) {
                line.back() = '\'';
                i = amp + entity.size();
                break;
            }
        }
    }
    return line;
}

std::string NumberedNewsLine(int number, std::string_view title) {
    std::string line = std::to_string(number);
    line += ". ";
    line += ReplaceApostropheEntities(title);
    return line;
}

} // namespace qv
