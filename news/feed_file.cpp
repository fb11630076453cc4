#include "news/feed_file.h"

#include <windows.h>

#include "framework/handles.h"
#include "framework/wide_text.h"
#include "news/file_handle.h"
#include "news/feed_encoding.h"
#include "news/feed_scanner.h"

namespace qv {

namespace {

// Longer titles are cut: a list row is no place for a page of text.
constexpr size_t kMaxTitleBytes = 1024;
constexpr int64_t kMaxFeedFileBytes = int64_t(64) << 20;

} // namespace

std::optional<FeedBytes> ReadFeedFile(const std::string& path) {
    const UniqueKernelHandle file = OwnFileHandle(CreateFileA(
        path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart > kMaxFeedFileBytes) {
        return std::nullopt;
    }
    const auto length = size_t(size.QuadPart);
    std::unique_ptr<char[]> bytes(new char[length ? length : 1]);
    DWORD read = 0;
    if (length &&
        (!ReadFile(file.get(), bytes.get(), DWORD(length), &read, nullptr) || read != length)) {
        return std::nullopt;
    }
    return FeedBytes(std::move(bytes), length);
}

std::string TitleInAnsi(std::string_view title, unsigned codePage) {
    if (title.size() > kMaxTitleBytes) {
        title = title.substr(0, kMaxTitleBytes);
    }
    if (IsAscii(title) || codePage == GetACP()) {
        return std::string(title);
    }
    return Narrow(TitleInUnicode(title, codePage));
}

std::wstring TitleInUnicode(std::string_view title, unsigned codePage) {
    std::wstring wide = Widen(title, codePage);
    if (wide.empty()) {
        wide = Widen(title, kCodePageWestern);
    }
    return wide;
}

NewsRows NewsRowsFromFeed(std::string_view bytes) {
    const FeedText feed = PrepareFeedText(bytes);
    const std::vector<FeedItem> items = ScanFeedItems(feed.text);
    NewsRows rows;
    rows.lines.reserve(items.size());
    rows.links.reserve(items.size());
    int number = 1;
    for (const FeedItem& item : items) {
        rows.lines.push_back(NumberedNewsLine(
            number++, TitleInAnsi(item.title, TitleCodePage(item.title, feed.codePage))));
        rows.links.emplace_back(item.link);
    }
    return rows;
}

} // namespace qv
