#include "settings/stored_text.h"

#include <algorithm>
#include <string_view>

#include "settings/setting_names.h"

namespace qv {

std::u16string StoredText(const char16_t* units, size_t unitCount) {
    if (unitCount > kSettingTextBufferSize) {
        return {};
    }
    const std::u16string_view text(units, unitCount);
    const size_t length = std::min(text.find(u'\0'), text.size());
    if (length >= kSettingTextBufferSize) {
        return {};
    }
    return std::u16string(text.substr(0, length));
}

} // namespace qv
