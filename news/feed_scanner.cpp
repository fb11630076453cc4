#include "news/feed_scanner.h"

#include <cstring>

#include "news/feed_markup.h"

namespace qv {

namespace {

constexpr size_t npos = std::string_view::npos;

bool EndsName(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r') || c == '/' || c == '>';
}

bool StartsName(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' ||
           uint8_t(c) >= 0x80;
}

enum class Child { Other, Title, Link, Description, Summary, Content };

Child ChildOf(std::string_view name) {
    if (name == "title") {
        return Child::Title;
    }
    if (name == "link") {
        return Child::Link;
    }
    if (name == "description") {
        return Child::Description;
    }
    if (name == "summary") {
        return Child::Summary;
    }
    return name == "content" ? Child::Content : Child::Other;
}

// "rss:item" for "item": the prefix, with its colon, of a qualified name.
std::string_view PrefixOf(std::string_view name) {
    const size_t colon = name.find(':');
    return colon == npos ? std::string_view{} : name.substr(0, colon + 1);
}

std::string_view LocalName(std::string_view name) {
    return name.substr(PrefixOf(name).size());
}

bool IsEntryTag(const Tag& tag) {
    const std::string_view local = LocalName(tag.name);
    return !tag.closing && (local == "item" || local == "entry");
}

// Atom: the first link to the entry's own page, its rel "alternate" or left out.
bool IsAlternateLink(std::string_view attributes) {
    const std::string_view rel = AttributeValue(attributes, "rel");
    return rel.empty() || rel == "alternate";
}

class EntryReader {
public:
    // Children count with the entry's own prefix: an RSS item's "atom:link" is not its link.
    EntryReader(std::string_view text, std::string_view name)
        : text_(text), prefix_(PrefixOf(name)) {
        entry_.atom = LocalName(name) == "entry";
    }

    // Reads up to the entry's end tag, or to the end of the text.
    RawEntry Read(TagWalker& walker) {
        Tag tag;
        int depth = 1;
        while (walker.Next(tag)) {
            if (tag.closing) {
                if (depth == 2) {
                    CloseChild(tag.begin);
                }
                if (--depth == 0) {
                    break;
                }
            } else if (depth == 1) {
                OpenChild(tag);
                depth += !tag.empty;
            } else {
                depth += !tag.empty;
            }
        }
        CloseChild(text_.size());
        return Finished();
    }

private:
    void OpenChild(const Tag& tag) {
        const Child child =
            tag.name.starts_with(prefix_) ? ChildOf(tag.name.substr(prefix_.size())) : Child::Other;
        if (child == Child::Link && entry_.atom) {
            if (!entry_.link.found && IsAlternateLink(tag.attributes)) {
                entry_.link = {AttributeValue(tag.attributes, "href"), tag.attributes, true};
            }
            open_ = nullptr;
            return;
        }
        RawPart* part = PartOf(child);
        open_ = part && !part->found ? part : nullptr;
        if (open_) {
            *open_ = {{}, tag.attributes, true};
            openedAt_ = tag.empty ? npos : tag.end;
        }
    }

    void CloseChild(size_t at) {
        if (open_ && openedAt_ != npos) {
            open_->content = text_.substr(openedAt_, at - openedAt_);
        }
        open_ = nullptr;
    }

    RawPart* PartOf(Child child) {
        switch (child) {
        case Child::Title:
            return &entry_.title;
        case Child::Link:
            return &entry_.link;
        case Child::Description:
            return &entry_.description;
        case Child::Summary:
            return &summary_;
        case Child::Content:
            return &content_;
        default:
            return nullptr;
        }
    }

    RawEntry Finished() {
        if (!entry_.description.found) {
            entry_.description = summary_.found ? summary_ : content_;
        }
        return entry_;
    }

    std::string_view text_;
    std::string_view prefix_;
    RawEntry entry_;
    RawPart summary_;
    RawPart content_;
    RawPart* open_ = nullptr;
    size_t openedAt_ = npos;
};

} // namespace

// A section left open reads as text: the tags after it still count.
size_t TagWalker::SkipPast(size_t from, std::string_view end) const {
    const size_t at = text_.find(end, from);
    return at == npos ? from : at + end.size();
}

// memchr finds the next '<' faster than any loop: it is the whole cost of the text between tags.
bool TagWalker::Next(Tag& tag) {
    while (position_ < text_.size()) {
        const void* found = std::memchr(text_.data() + position_, '<', text_.size() - position_);
        if (!found) {
            break;
        }
        const size_t at = size_t(static_cast<const char*>(found) - text_.data());
        const std::string_view rest = text_.substr(at);
        if (rest.starts_with("<!--")) {
            position_ = SkipPast(at + 4, "-->");
        } else if (rest.starts_with("<![CDATA[")) {
            position_ = SkipPast(at + 9, "]]>");
        } else if (rest.starts_with("<?") || rest.starts_with("<!")) {
            position_ = SkipPast(at + 2, ">");
        } else {
            const bool closing = rest.size() > 1 && rest[1] == '/';
            const size_t nameAt = at + 1 + closing;
            if (nameAt >= text_.size() || !StartsName(text_[nameAt])) {
                position_ = at + 1; // a bare '<' in text
                continue;
            }
            size_t nameEnd = nameAt;
            while (nameEnd < text_.size() && !EndsName(text_[nameEnd])) {
                ++nameEnd;
            }
            const size_t close = FindTagEnd(text_, nameEnd);
            if (close == npos) {
                break;
            }
            const size_t end = close + 1;
            tag.name = text_.substr(nameAt, nameEnd - nameAt);
            tag.begin = at;
            tag.end = end;
            tag.closing = closing;
            tag.empty = !closing && text_[end - 2] == '/';
            tag.attributes = text_.substr(nameEnd, end - 1 - tag.empty - nameEnd);
            position_ = end;
            return true;
        }
    }
    position_ = text_.size();
    return false;
}

std::vector<RawEntry> ScanFeedEntries(std::string_view text) {
    std::vector<RawEntry> entries;
    TagWalker walker(text);
    Tag tag;
    while (walker.Next(tag)) {
        if (IsEntryTag(tag) && !tag.empty) {
            entries.push_back(EntryReader(text, tag.name).Read(walker));
        }
    }
    return entries;
}

} // namespace qv
