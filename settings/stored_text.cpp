#include "settings/stored_text.h"

#include <cstring>

#include "settings/setting_names.h"

namespace qv {

std::string StoredTextFromBytes(const char* bytes, size_t byteCount) {
    if (byteCount > kSettingTextBufferSize) {
        return {};
    }
    const void* zero = std::memchr(bytes, '\0', byteCount);
    const size_t length = zero ? size_t(static_cast<const char*>(zero) - bytes) : byteCount;
    if (length >= kSettingTextBufferSize) {
        return {};
    }
    return std::string(bytes, length);
}

} // namespace qv
