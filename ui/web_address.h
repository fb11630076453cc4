#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qv {

// Where the web search and the help page send the user's browser.
inline constexpr std::string_view kWebSearchHost = "www.google.com";
inline constexpr std::string_view kProductSiteHost = "www.quorvel.example";

// UTF-8 text made safe for a URL's query: letters, digits and "-._~" stay, every other byte
// becomes %XX (upper-case hex), so "&", "#", "+" and "%" reach the server as typed.
std::string PercentEncode(std::string_view utf8);

// The engine's results page for a query, of any length.
std::string WebSearchUrl(std::string_view utf8Query);

// The help page, with the affiliate number as stored (a 32-bit value printed signed).
std::string HelpPageUrl(uint32_t affiliate);

} // namespace qv
