#pragma once

#include <string>
#include <string_view>

namespace qv {

// Windows code page numbers; the feed files name their encodings, the lists show ANSI text.
inline constexpr unsigned kCodePageUtf8 = 65001;
inline constexpr unsigned kCodePageWestern = 1252;

// A feed file made ready for the scanner: text in an ASCII-compatible encoding, ending at its
// first zero byte, and the code page its titles are written in.
struct FeedText {
    std::string storage; // holds the text when it had to be transcoded (UTF-16 and UTF-32)
    std::string_view text;
    unsigned codePage = kCodePageUtf8;
};

// A byte-order mark wins; then the XML declaration's encoding; UTF-8 when none is declared.
// UTF-16 and UTF-32 files (with or without a mark) are turned into UTF-8 so that the tags can
// be found. A declaration of UTF-16 in a file whose bytes are ASCII-compatible is a mistake and
// counts as UTF-8.
FeedText PrepareFeedText(std::string_view bytes);

// The code page of an encoding name from an XML declaration, without regard to case; 0 when
// the name is unknown.
unsigned CodePageOfEncodingName(std::string_view name);

// The code page to decode one title with: a title in a UTF-8 feed that is not valid UTF-8 was
// written in the Western code page (the common mistake of undeclared Latin-1 feeds).
unsigned TitleCodePage(std::string_view title, unsigned feedCodePage);

bool IsValidUtf8(std::string_view text);
bool IsAscii(std::string_view text);

} // namespace qv
