#include <cstddef>
#include <cstdint>
#include <string_view>

#include "framework/web_uri.h"

namespace {

bool IsFileAddress(std::string_view iri) {
    return iri.size() >= 5 && (iri[0] | 0x20) == 'f' && (iri[1] | 0x20) == 'i' &&
           (iri[2] | 0x20) == 'l' && (iri[3] | 0x20) == 'e' && iri[4] == ':';
}

} // namespace

// A web address leaves as printable ASCII only.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view iri(reinterpret_cast<const char*>(data), size);
    const auto uri = qv::UriFromIri(iri);
    if (uri && !IsFileAddress(iri)) {
        for (const char c : *uri) {
            if (uint8_t(c) <= 0x20 || uint8_t(c) >= 0x7F) {
                __builtin_trap();
            }
        }
    }
    return 0;
}
