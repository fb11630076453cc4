#pragma once

#include <string_view>
#include <vector>

namespace qv {

// One part of an entry as it stands in the feed: the raw content of its element (or the raw
// value of an Atom link's href) and the element's attribute text.
struct RawPart {
    std::string_view content;
    std::string_view attributes;
    bool found = false;
};

// One RSS or RDF "item" or Atom "entry", views into the scanned text.
struct RawEntry {
    RawPart title;         // else Dublin Core's "dc:title"
    RawPart link;          // else an RSS item's guid, with its isPermaLink
    RawPart description;   // RSS description, else Atom summary, else Atom content
    std::string_view base; // the raw xml:base of the item or entry element
    bool atom = false;
    bool linkIsGuid = false;
};

// The feed as the scanner reads it: its entries, and what their relative links resolve against.
struct RawFeed {
    std::vector<RawEntry> entries;
    RawPart link;          // the first link outside the entries: the channel's, or the feed's
    std::string_view base; // the raw xml:base nearest before the first entry, outside it
};

// The feed scanner reads tags, not a document: it skips comments, CDATA sections, processing
// instructions and declarations, and takes every item or entry element that is not inside
// another one, wherever it stands, with the first title, link and description among its own
// children. An entry ends at the end tag of its own name and a child at the end tag of its
// own, whatever stray markup stands between. An Atom entry's link is the href of its first
// link whose rel is "alternate" or absent. An entry cut off by the end of the text keeps what
// it had. Every tag is looked at once: the cost is linear in the text, whatever it holds.
RawFeed ScanFeed(std::string_view text);

// One tag of the text.
struct Tag {
    std::string_view name;
    std::string_view attributes;
    size_t begin = 0; // its '<'
    size_t end = 0;   // just past its '>'
    bool closing = false;
    bool empty = false; // "<name/>"
};

class TagWalker {
public:
    explicit TagWalker(std::string_view text) : text_(text) {}
    // The next tag; false at the end of the text or at a tag the text cuts off.
    bool Next(Tag& tag);

private:
    // Where a section's end marker was first looked for in vain: it is missing from there on.
    struct Missing {
        size_t from = std::string_view::npos;
    };
    size_t SkipPast(size_t from, std::string_view end, Missing& missing) const;

    std::string_view text_;
    size_t position_ = 0;
    Missing commentEnd_, cdataEnd_, markupEnd_;
};

} // namespace qv
