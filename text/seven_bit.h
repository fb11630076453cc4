#pragma once

// The 7-bit encodings are decoded here, not by the system: Windows reads ISO-2022 and HZ through
// its code pages, but Wine's code pages do not, and iconv has no HZ; one decoder serves both
// builds and reads the same everywhere.

#include <optional>
#include <string>
#include <string_view>

namespace qv {

// Code page numbers of the 7-bit encodings that switch character sets with escapes or shifts.
inline constexpr unsigned kCodePageIso2022Jp = 50220;
inline constexpr unsigned kCodePageIso2022Kr = 50225;
inline constexpr unsigned kCodePageHzGb2312 = 52936;

// A 7-bit text in its 8-bit form, where every byte of a two-byte character is 0x80 or more
// (JIS X 0208 as Shift_JIS, KS X 1001 as EUC-KR, GB 2312 as GBK), so that no part of a character
// can be taken for '<' or '&'.
struct MultiByteText {
    std::string bytes;
    unsigned codePage;
};
// None when codePage is not one of the three above.
std::optional<MultiByteText> FromSevenBit(std::string_view text, unsigned codePage);

} // namespace qv
