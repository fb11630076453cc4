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

enum class Child { Other, Title, Link, Description, Summary, Content, Guid };

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
    if (name == "guid") {
        return Child::Guid;
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

std::string_view XmlBase(std::string_view attributes) {
    return AttributeValue(attributes, "xml:base");
}

class EntryReader {
public:
    // Children count with the entry's own prefix: an RSS item's "atom:link" is not its link.
    EntryReader(std::string_view text, const Tag& start)
        : text_(text), name_(start.name), prefix_(PrefixOf(start.name)) {
        entry_.atom = LocalName(name_) == "entry";
        entry_.base = XmlBase(start.attributes);
    }

    // Reads up to the entry's end tag, or to the end of the text. Inside an open child only
    // tags of the child's own name count, so that stray HTML in a description neither ends the
    // child early nor keeps it open past the entry's end.
    RawEntry Read(TagWalker& walker) {
        Tag tag;
        size_t end = text_.size();
        while (walker.Next(tag)) {
            if (!child_.empty() && tag.name == child_) {
                childDepth_ += tag.closing ? -1 : !tag.empty;
                if (childDepth_ == 0) {
                    CloseChild(tag.begin);
                }
            } else if (tag.closing && tag.name == name_) {
                end = tag.begin;
                break;
            } else if (child_.empty() && !tag.closing) {
                OpenChild(tag);
            }
        }
        CloseChild(end);
        return Finished();
    }

private:
    void OpenChild(const Tag& tag) {
        if (!tag.empty) {
            child_ = tag.name;
            childDepth_ = 1;
        }
        const Child child =
            tag.name.starts_with(prefix_) ? ChildOf(tag.name.substr(prefix_.size())) : Child::Other;
        if (child == Child::Link && entry_.atom) {
            if (!entry_.link.found && IsAlternateLink(tag.attributes)) {
                entry_.link = {AttributeValue(tag.attributes, "href"), tag.attributes, true};
            }
            return;
        }
        RawPart* part = child == Child::Other && tag.name == "dc:title" ? &dcTitle_ : PartOf(child);
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
        child_ = {};
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
        case Child::Guid:
            return &guid_;
        default:
            return nullptr;
        }
    }

    RawEntry Finished() {
        if (!entry_.description.found) {
            entry_.description = summary_.found ? summary_ : content_;
        }
        if (!entry_.title.found) {
            entry_.title = dcTitle_;
        }
        if (!entry_.link.found && guid_.found) {
            entry_.link = guid_;
            entry_.linkIsGuid = true;
        }
        return entry_;
    }

    std::string_view text_;
    std::string_view name_;
    std::string_view prefix_;
    RawEntry entry_;
    RawPart summary_;
    RawPart content_;
    RawPart guid_;
    RawPart dcTitle_;
    std::string_view child_; // the name of the open child, empty at the entry's own level
    int childDepth_ = 0;
    RawPart* open_ = nullptr;
    size_t openedAt_ = npos;
};

// Outside the entries: the feed's own link and the xml:base around the entries.
class FeedReader {
public:
    explicit FeedReader(std::string_view text) : text_(text) {}

    void Note(const Tag& tag) {
        if (linkOpenedAt_ != npos) {
            if (tag.closing && tag.name == "link") {
                feed_.link.content = text_.substr(linkOpenedAt_, tag.begin - linkOpenedAt_);
            }
            linkOpenedAt_ = npos;
        }
        if (tag.closing) {
            return;
        }
        const std::string_view base = XmlBase(tag.attributes);
        if (!base.empty() && feed_.entries.empty()) {
            feed_.base = base;
        }
        if (tag.name == "link" && !feed_.link.found) {
            NoteLink(tag);
        }
    }
    void Add(const RawEntry& entry) { feed_.entries.push_back(entry); }
    RawFeed Finished() { return std::move(feed_); }

private:
    // Atom's href of an alternate link, or RSS's text up to the next tag, if that ends it.
    void NoteLink(const Tag& tag) {
        const std::string_view href = AttributeValue(tag.attributes, "href");
        if (!href.empty()) {
            if (IsAlternateLink(tag.attributes)) {
                feed_.link = {href, tag.attributes, true};
            }
        } else if (!tag.empty) {
            feed_.link = {{}, tag.attributes, true};
            linkOpenedAt_ = tag.end;
        }
    }

    std::string_view text_;
    RawFeed feed_;
    size_t linkOpenedAt_ = npos;
};

} // namespace

// A section left open reads as text: the tags after it still count. The walker only moves
// forward, so once an end marker is missing from one place it is missing from every later one,
// and it is not looked for again.
size_t TagWalker::SkipPast(size_t from, std::string_view end, Missing& missing) const {
    if (from >= missing.from) {
        return from;
    }
    const size_t at = text_.find(end, from);
    if (at == npos) {
        missing.from = from;
        return from;
    }
    return at + end.size();
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
            position_ = SkipPast(at + 4, "-->", commentEnd_);
        } else if (rest.starts_with("<![CDATA[")) {
            position_ = SkipPast(at + 9, "]]>", cdataEnd_);
        } else if (rest.starts_with("<?") || rest.starts_with("<!")) {
            position_ = SkipPast(at + 2, ">", markupEnd_);
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

RawFeed ScanFeed(std::string_view text) {
    FeedReader feed(text);
    TagWalker walker(text);
    Tag tag;
    while (walker.Next(tag)) {
        if (IsEntryTag(tag) && !tag.empty) {
            feed.Add(EntryReader(text, tag).Read(walker));
        } else {
            feed.Note(tag);
        }
    }
    return feed.Finished();
}

} // namespace qv
