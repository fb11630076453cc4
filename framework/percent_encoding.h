#pragma once

#include <string>
#include <string_view>

namespace qv {

// UTF-8 text made safe for a URL's query: letters, digits and "-._~" stay, every other byte
// becomes %XX (upper-case hex), so "&", "#", "+" and "%" reach the server as typed.
std::string PercentEncode(std::string_view utf8);

// A whole address made ASCII: only the bytes that are not printable ASCII (a space, a control,
// the bytes of a non-ASCII character) become %XX; reserved characters keep their meaning.
std::string PercentEncodeUnprintable(std::string_view utf8);

} // namespace qv
