#include "ui/web_address.h"

namespace qv {

std::string WebSearchUrl(std::string_view utf8Query) {
    std::string url = "http://";
    url += kWebSearchHost;
    url += "/search?q=";
    url += PercentEncode(utf8Query);
    return url;
}

std::string HelpPageUrl(uint32_t affiliate) {
    std::string url = "http://";
    url += kProductSiteHost;
    url += "/quorvel.php?aff=";
    url += std::to_string(static_cast<int32_t>(affiliate));
    return url;
}

} // namespace qv
