#pragma once

#include <string>
#include <string_view>

namespace qv {

// A character reference or a named character at the start of a text, and how many of its
// characters it takes; length 0 when there is none.
struct Reference {
    char32_t c = 0;
    size_t length = 0;
};
Reference ReadReference(std::string_view text);

// The text of an element's content, written in a code page: CDATA sections unwrapped,
// references decoded, line breaks read as LF, comments and child tags dropped (their text kept).
// A reference that names no character stays as written.
std::u16string ElementText(std::string_view content, unsigned codePage);

// HTML as a reader sees it: tags, comments, scripts and styles dropped, references decoded, a
// line-breaking tag read as a space, and every run of white space one space, none at the ends.
std::u16string HtmlToPlainText(std::u16string_view html);

// Runs of white space become one space; none is left at either end.
std::u16string CollapseSpaces(std::u16string_view text);

// The '>' that ends a tag, searched from from on, past quoted attribute values that may hold
// one; npos when the tag does not end.
size_t FindTagEnd(std::string_view text, size_t from);

// The raw value of an attribute in a tag's attribute text; empty when it has none.
std::string_view AttributeValue(std::string_view attributes, std::string_view name);

} // namespace qv
