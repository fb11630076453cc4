#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "framework/percent_encoding.h"

namespace qv {

// Where the web search and the help page send the user's browser.
inline constexpr std::string_view kWebSearchHost = "www.google.com";
inline constexpr std::string_view kProductSiteHost = "www.quorvel.example";

// The engine's results page for a query, of any length.
std::string WebSearchUrl(std::string_view utf8Query);

// The help page, with the affiliate number as stored (a 32-bit value printed signed).
std::string HelpPageUrl(uint32_t affiliate);

} // namespace qv
