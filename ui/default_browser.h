#pragma once

#include <cstdint>
#include <string>

namespace qv {

// Hands the URL to the shell, which shows it in the user's default browser. The result is not
// looked at: with no browser there is simply nothing to show. The URL is ASCII, as the URLs
// built here are.
void OpenInDefaultBrowser(const std::string& url);

// The product's help page, carrying the stored affiliate number.
void OpenHelpPage(uint32_t affiliate);

} // namespace qv
