#pragma once

#include <cstddef>
#include <string>

namespace qv {

// The text of a value read into the 512-byte buffer: up to its first zero byte, with or without
// a terminating zero; a text that filled the whole buffer did not fit and counts as missing.
std::string StoredTextFromBytes(const char* bytes, size_t byteCount);

} // namespace qv
