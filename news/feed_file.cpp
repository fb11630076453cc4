#include "news/feed_file.h"

#include <windows.h>

#include "framework/handles.h"
#include "news/file_handle.h"
#include "news/feed_encoding.h"
#include "news/feed_scanner.h"

namespace qv {

namespace {

// Longer titles are cut: a list row is no place for a page of text.
constexpr size_t kMaxTitleBytes = 1024;

std::wstring Widen(std::string_view text, unsigned codePage) {
    const int length = MultiByteToWideChar(codePage, 0, text.data(), int(text.size()), nullptr, 0);
    if (length <= 0) {
        return {};
    }
    std::wstring wide(size_t(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), int(text.size()), wide.data(), length);
    return wide;
}

std::string Narrow(std::wstring_view wide) {
    const int length =
        WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
    if (length <= 0) {
        return {};
    }
    std::string text(size_t(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), text.data(), length, nullptr,
                        nullptr);
    return text;
}

} // namespace

std::optional<std::string> ReadFeedFile(const std::string& path) {
    const UniqueKernelHandle file =
        OwnFileHandle(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart > (int64_t(1) << 30)) {
        return std::nullopt;
    }
    std::string bytes(size_t(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() &&
        (!ReadFile(file.get(), bytes.data(), DWORD(bytes.size()), &read, nullptr) ||
         read != bytes.size())) {
        return std::nullopt;
    }
    return bytes;
}

std::string TitleInAnsi(std::string_view title, unsigned codePage) {
    if (title.size() > kMaxTitleBytes) {
        title = title.substr(0, kMaxTitleBytes);
    }
    if (IsAscii(title) || codePage == GetACP()) {
        return std::string(title);
    }
    std::wstring wide = Widen(title, codePage);
    if (wide.empty()) { // a code page this system lacks
        wide = Widen(title, kCodePageWestern);
    }
    return Narrow(wide);
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
