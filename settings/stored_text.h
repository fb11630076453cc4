#pragma once

#include <cstddef>
#include <string>

namespace qv {

// The text of a value read into the buffer of 512 UTF-16 units, `unitCount` of them filled: up
// to its first zero, with or without a terminating zero; a text that filled the whole buffer did
// not fit and counts as missing.
std::u16string StoredText(const char16_t* units, size_t unitCount);

} // namespace qv
