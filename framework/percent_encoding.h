#pragma once

#include <string>
#include <string_view>

namespace qv {

// UTF-8 text made safe for a URL's query: letters, digits and "-._~" stay, every other byte
// becomes %XX (upper-case hex), so "&", "#", "+" and "%" reach the server as typed.
std::string PercentEncode(std::string_view utf8);

} // namespace qv
