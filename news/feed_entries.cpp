#include "news/feed_entries.h"

#include "news/feed_encoding.h"
#include "news/feed_markup.h"
#include "news/feed_scanner.h"
#include "news/feed_text.h"

namespace qv {

namespace {

enum class TextType { Text, Html, Xhtml };

// Atom names the type of a text; "html" and "xhtml" (or their media types) hold markup.
TextType TypeOf(const RawPart& part) {
    const std::string_view type = AttributeValue(part.attributes, "type");
    if (type == "xhtml" || type == "application/xhtml+xml") {
        return TextType::Xhtml;
    }
    return type == "html" || type == "text/html" ? TextType::Html : TextType::Text;
}

std::u16string Trimmed(std::u16string text) {
    const std::u16string_view trimmed = TrimText(text);
    return std::u16string(trimmed);
}

std::u16string Cut(std::u16string_view text, size_t characters) {
    return std::u16string(TrimText(CutToCharacters(text, characters)));
}

std::u16string PlainText(const RawPart& part, TextType type, unsigned codePage) {
    const std::u16string text = ElementText(part.content, codePage);
    switch (type) {
    case TextType::Html:
        return HtmlToPlainText(text);
    case TextType::Xhtml:
        return CollapseSpaces(text);
    default:
        return Trimmed(text);
    }
}

// RSS descriptions hold HTML, escaped or in CDATA.
std::u16string DescriptionStart(const RawEntry& raw, unsigned codePage) {
    const TextType type = raw.atom ? TypeOf(raw.description) : TextType::Html;
    return Cut(CollapseSpaces(PlainText(raw.description, type, codePage)),
               kDescriptionTitleCharacters);
}

FeedEntry EntryOf(const RawEntry& raw, unsigned codePage) {
    FeedEntry entry;
    entry.link = Utf16ToUtf8(Trimmed(ElementText(raw.link.content, codePage)));
    entry.title = Cut(PlainText(raw.title, TypeOf(raw.title), codePage), kMaxTitleCharacters);
    if (entry.title.empty()) {
        entry.title = DescriptionStart(raw, codePage);
    }
    if (entry.title.empty()) {
        std::u16string link;
        AppendDecoded(link, entry.link, kCodePageUtf8);
        entry.title = Cut(link, kMaxTitleCharacters);
    }
    return entry;
}

} // namespace

std::vector<FeedEntry> ReadFeedEntries(std::string_view fileBytes, std::string_view replyCharset,
                                       std::string_view feedAddress) {
    (void)feedAddress;
    const FeedText feed = PrepareFeedText(fileBytes, replyCharset);
    std::vector<FeedEntry> entries;
    for (const RawEntry& raw : ScanFeedEntries(feed.text)) {
        FeedEntry entry = EntryOf(raw, feed.codePage);
        if (!entry.title.empty()) {
            entries.push_back(std::move(entry));
        }
    }
    return entries;
}

} // namespace qv
