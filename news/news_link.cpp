#include "news/news_link.h"

#include <algorithm>

#include "framework/percent_encoding.h"

namespace qv {

namespace {

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char p, char c) {
               return p == (c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c);
           });
}

} // namespace

bool IsOpenableNewsLink(std::string_view link) {
    return StartsWithIgnoringCase(link, "http:") || StartsWithIgnoringCase(link, "https:");
}

std::string NewsLinkAddress(std::string_view link) {
    return PercentEncodeUnprintable(link);
}

} // namespace qv
