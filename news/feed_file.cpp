#include "news/feed_file.h"

#include <windows.h>

#include "framework/wide_text.h"
#include "framework/handles.h"
#include "news/feed_entries.h"
#include "news/news_link.h"

namespace qv {

namespace {

constexpr int64_t kMaxFeedFileBytes = int64_t(64) << 20;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

uint64_t Join(DWORD high, DWORD low) {
    return uint64_t(high) << 32 | low;
}

std::optional<FeedFileIdentity> IdentityOf(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file, &info)) {
        return std::nullopt;
    }
    return FeedFileIdentity{
        Join(info.nFileSizeHigh, info.nFileSizeLow),
        Join(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime)};
}

std::optional<FeedBytes> ReadWhole(HANDLE file, uint64_t size) {
    const auto length = size_t(size);
    std::unique_ptr<char[]> bytes(new char[length ? length : 1]);
    DWORD read = 0;
    if (length && (!ReadFile(file, bytes.get(), DWORD(length), &read, nullptr) || read != length)) {
        return std::nullopt;
    }
    return FeedBytes(std::move(bytes), length);
}

} // namespace

std::optional<FeedFileIdentity> FeedFileIdentityAt(const std::string& path) {
    const UniqueKernelHandle file =
        OwnFileHandle(CreateFileW(FromUtf8(path).c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file ? IdentityOf(file.get()) : std::nullopt;
}

FeedFile ReadFeedFile(const std::string& path) {
    const UniqueKernelHandle file =
        OwnFileHandle(CreateFileW(FromUtf8(path).c_str(), GENERIC_READ, kShareAll, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    FeedFile feed{file ? IdentityOf(file.get()) : std::nullopt, std::nullopt};
    if (feed.identity && feed.identity->size <= uint64_t(kMaxFeedFileBytes)) {
        feed.bytes = ReadWhole(file.get(), feed.identity->size);
        if (!feed.bytes) {
            feed.identity.reset(); // what was read says nothing of the file: read it again
        }
    }
    return feed;
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

FeedReading ReadFeedRows(const std::string& path, std::string_view feedAddress) {
    const FeedFile file = ReadFeedFile(path);
    return {file.identity,
            file.bytes ? NewsRowsFromFeed(file.bytes->view(), feedAddress) : NewsRows{}};
}

} // namespace qv
