#include "media/video_results.h"

#include "framework/percent_encoding.h"
#include "text/ascii.h"
#include "text/unicode.h"

namespace qv {

namespace {

constexpr std::string_view kResultMarker = "a class=\"newvtitlelink\" href=\"/watch?v=";
constexpr std::string_view kTitleEnd = "</a><br/>";
constexpr size_t kVideoIdLength = 11;

void RemoveAll(std::string& text, std::string_view what) {
    size_t from = 0;
    size_t to = 0;
    // One pass: copy what stays over what goes.
    while (from < text.size()) {
        if (text.compare(from, what.size(), what) == 0) {
            from += what.size();
        } else {
            text[to++] = text[from++];
        }
    }
    text.resize(to);
}

void ReplaceAll(std::string& text, std::string_view what, std::string_view with) {
    std::string result;
    size_t from = 0;
    for (size_t at; (at = text.find(what, from)) != std::string::npos; from = at + what.size()) {
        result.append(text, from, at - from).append(with);
    }
    if (from == 0) {
        return;
    }
    result.append(text, from);
    text = std::move(result);
}

// The site wraps matched words in bold tags; every other "<" goes too, the rest of a tag stays.
std::string CleanRow(int number, std::string_view title) {
    std::string row = std::to_string(number) + ". ";
    row += title;
    for (const std::string_view tag : {"<b>", "</b>", "</a>", "</", "<"}) {
        RemoveAll(row, tag);
    }
    ReplaceAll(row, "&#39;", "'");
    ReplaceAll(row, "&amp;", "&");
    return row;
}

} // namespace

std::string ResultsPageUrl(std::string_view query, int page) {
    std::string url = "http://";
    url += kVideoSiteHost;
    url += "/results?search_query=";
    url += PercentEncode(query);
    url += "&search=Search&page=";
    url += std::to_string(page);
    return url;
}

std::string EmbedLink(std::string_view videoId) {
    std::string link = "http://";
    link += kVideoSiteHost;
    link += "/v/";
    link += videoId;
    return link;
}

std::vector<VideoResult> ScanResultsPage(std::string_view page) {
    std::vector<VideoResult> results;
    size_t position = 0;
    int number = 1;
    while (position < page.size()) {
        const size_t marker = page.find(kResultMarker, position);
        if (marker == std::string_view::npos) {
            break;
        }
        const std::string_view videoId = page.substr(marker + kResultMarker.size(), kVideoIdLength);
        const size_t tagEnd = page.find('>', marker);
        const size_t titleEnd =
            tagEnd == std::string_view::npos ? tagEnd : page.find(kTitleEnd, tagEnd);
        std::string_view title;
        if (titleEnd != std::string_view::npos) {
            // Up to and including the "<" of the end marker; the cleaning takes it away.
            title = page.substr(tagEnd + 1, titleEnd + 1 - (tagEnd + 1));
        }
        results.push_back({CleanRow(number++, title), EmbedLink(videoId)});
        position = titleEnd;
    }
    return results;
}

std::u16string ShortenRow(std::u16string_view row) {
    constexpr size_t kLongest = 24, kHead = 10, kTail = 14;
    if (row.size() <= kLongest) {
        return std::u16string(row);
    }
    size_t tail = row.size() - kTail;
    if (IsLowSurrogate(row[tail]) && IsHighSurrogate(row[tail - 1])) {
        --tail;
    }
    std::u16string shortened(WholeCharacterPrefix(row, kHead));
    shortened += u"..";
    shortened += row.substr(tail);
    return shortened;
}

bool PageIsUtf8(std::string_view rawHeaders) {
    const std::string headers = AsciiLowered(rawHeaders);
    for (size_t line = 0; line < headers.size();) {
        size_t end = headers.find_first_of("\r\n", line);
        if (end == std::string::npos) {
            end = headers.size();
        }
        const std::string_view header = std::string_view(headers).substr(line, end - line);
        if (header.starts_with("content-type:")) {
            const size_t charset = header.find("charset=");
            if (charset == std::string_view::npos) {
                return true;
            }
            std::string_view name = header.substr(charset + 8);
            if (!name.empty() && name.front() == '"') {
                name.remove_prefix(1);
            }
            return name.starts_with("utf-8") || name.starts_with("utf8");
        }
        line = end + 1;
    }
    return true;
}

} // namespace qv
