#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "text/code_pages.h"

namespace qv {

// A feed file made ready for the scanner: text in an ASCII-compatible encoding, ending at its
// first zero byte, and the code page its titles are written in.
struct FeedText {
    std::string storage; // holds the text when it had to change form (wide or 7-bit encodings)
    std::string_view text;
    unsigned codePage = kCodePageUtf8;
};

// A byte-order mark wins; then the XML declaration's encoding; then the charset the server named
// for the reply; UTF-8 when none is named. 7-bit encodings that shift into two-byte sets
// (ISO-2022-JP, ISO-2022-KR, HZ) are turned into their 8-bit forms.
// UTF-16 and UTF-32 files (with or without a mark) are turned into UTF-8 so that the tags can
// be found. A declaration of UTF-16 in a file whose bytes are ASCII-compatible is a mistake and
// counts as UTF-8.
FeedText PrepareFeedText(std::string_view bytes, std::string_view replyCharset = {});

// The charset parameter of an HTTP Content-Type, unquoted; empty when there is none.
std::string_view CharsetOfContentType(std::string_view contentType);

// A feed whose bytes name no encoding, in a reply whose charset names one: the same feed as
// UTF-8 with a byte-order mark, so that the file reads the same without the reply. None when
// the bytes name their own encoding or the reply adds nothing.
std::optional<std::string> FeedBytesForReplyCharset(std::string_view bytes,
                                                    std::string_view replyCharset);

} // namespace qv
