#include "news/feed_entries.h"

#include <algorithm>

#include "news/feed_encoding.h"
#include "news/feed_markup.h"
#include "news/feed_scanner.h"
#include "news/news_link.h"
#include "text/ascii.h"
#include "text/code_pages.h"
#include "text/unicode.h"

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

std::string LinkText(std::string_view raw, unsigned codePage) {
    return Utf16ToUtf8(Trimmed(ElementText(raw, codePage)));
}

bool IsPermalink(const RawPart& guid) {
    return !EqualsIgnoringAsciiCase(AttributeValue(guid.attributes, "isPermaLink"), "false");
}

// An RSS item without a link is reached through its guid, when that is a permalink: a full
// address whose isPermaLink is true or left out.
std::string EntryLink(const RawEntry& raw, unsigned codePage) {
    std::string link = LinkText(raw.link.content, codePage);
    if (raw.linkIsGuid && !(IsPermalink(raw.link) && HasUriScheme(link))) {
        link.clear();
    }
    return link;
}

// Relative links resolve against the xml:base around them, else the feed's own link, else the
// address the feed came from. A million relative links under a long base would make rows many
// times the size of the feed: past a budget of the text's own size, links stay as written.
class LinkResolver {
public:
    LinkResolver(const RawFeed& feed, size_t textSize, unsigned codePage,
                 std::string_view feedAddress)
        : codePage_(codePage), budget_(textSize + kSpareBudget), documentBase_(feedAddress),
          feedHasXmlBase_(!feed.base.empty()) {
        if (feedHasXmlBase_) {
            documentBase_ = Resolve(feedAddress, LinkText(feed.base, codePage));
        }
        const std::string feedLink = LinkText(feed.link.content, codePage);
        linkBase_ = feedLink.empty() ? std::string(feedAddress) : Resolve(feedAddress, feedLink);
    }

    std::string EntryLink(const RawEntry& raw) {
        std::string link = qv::EntryLink(raw, codePage_);
        if (link.empty()) {
            return link;
        }
        const std::string_view entryBase = raw.base;
        const std::string_view linkBase = AttributeValue(raw.link.attributes, "xml:base");
        if (!feedHasXmlBase_ && entryBase.empty() && linkBase.empty()) {
            return Resolve(linkBase_, link);
        }
        // Bases are only viewed until resolved: a copy of a long one per entry would escape the
        // budget.
        std::string resolved;
        std::string_view base = documentBase_;
        for (const std::string_view inner : {entryBase, linkBase}) {
            if (!inner.empty()) {
                resolved = Resolve(base, LinkText(inner, codePage_));
                base = resolved;
            }
        }
        return Resolve(base, link);
    }

private:
    static constexpr size_t kSpareBudget = 64 * 1024;

    std::string Resolve(std::string_view base, std::string_view link) {
        if (base.size() > budget_) {
            return std::string(link);
        }
        budget_ -= base.size();
        return ResolveNewsLink(base, link);
    }

    unsigned codePage_;
    size_t budget_;
    std::string documentBase_; // the feed's address, or the xml:base of the feed's elements
    std::string linkBase_;     // the feed's own link, or its address
    bool feedHasXmlBase_;
};

FeedEntry EntryOf(const RawEntry& raw, unsigned codePage, LinkResolver& links) {
    FeedEntry entry;
    entry.link = links.EntryLink(raw);
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

std::u16string_view TrimText(std::u16string_view text) {
    while (!text.empty() && IsAsciiSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsAsciiSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::vector<FeedEntry> ReadFeedEntries(std::string_view fileBytes, std::string_view replyCharset,
                                       std::string_view feedAddress) {
    const FeedText feed = PrepareFeedText(fileBytes, replyCharset);
    const RawFeed raw = ScanFeed(feed.text);
    LinkResolver links(raw, feed.text.size(), feed.codePage, feedAddress);
    std::vector<FeedEntry> entries;
    for (const RawEntry& rawEntry : raw.entries) {
        FeedEntry entry = EntryOf(rawEntry, feed.codePage, links);
        if (!entry.title.empty()) {
            entries.push_back(std::move(entry));
        }
    }
    return entries;
}

} // namespace qv
