// Any bytes typed into the search box must give a URL whose query holds only unreserved
// characters and %XX escapes, and that decodes back to exactly those bytes.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "ui/web_address.h"

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::string Decode(std::string_view encoded) {
    std::string decoded;
    for (size_t i = 0; i < encoded.size(); ++i) {
        if (encoded[i] != '%') {
            decoded += encoded[i];
            continue;
        }
        if (i + 2 >= encoded.size()) {
            std::abort(); // a cut escape
        }
        const int high = HexValue(encoded[i + 1]);
        const int low = HexValue(encoded[i + 2]);
        if (high < 0 || low < 0) {
            std::abort();
        }
        decoded += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return decoded;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view query(reinterpret_cast<const char*>(data), size);
    const std::string url = qv::WebSearchUrl(query);
    const std::string_view prefix = "http://www.google.com/search?q=";
    if (url.compare(0, prefix.size(), prefix) != 0) {
        std::abort();
    }
    const std::string_view encoded = std::string_view(url).substr(prefix.size());
    for (const char c : encoded) {
        const bool allowed = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                             (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' ||
                             c == '~' || c == '%';
        if (!allowed) {
            std::abort();
        }
    }
    if (Decode(encoded) != query) {
        std::abort();
    }
    return 0;
}
