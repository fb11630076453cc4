#include "news/feed_file.h"

#include <windows.h>

#include "framework/handles.h"
#include "news/feed_entries.h"
#include "news/news_link.h"

namespace qv {

namespace {

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

// On Windows a UTF-16 string is a wide string: the titles are not converted again.
NewsRows NewsRowsFromFeed(std::string_view bytes, std::string_view feedAddress) {
    const std::vector<FeedEntry> entries = ReadFeedEntries(bytes, {}, feedAddress);
    NewsRows rows;
    rows.lines.reserve(entries.size());
    rows.links.reserve(entries.size());
    int number = 1;
    for (const FeedEntry& entry : entries) {
        rows.lines.push_back(std::to_wstring(number++) + L". " +
                             std::wstring(entry.title.begin(), entry.title.end()));
        rows.links.push_back(NewsLinkAddress(entry.link));
    }
    return rows;
}

} // namespace qv
