#include "settings/feed_value.h"

namespace qv {

FeedSlot SplitFeedValue(std::string_view value) {
    const size_t caret = value.find('^');
    if (caret == std::string_view::npos) {
        return {std::string(), std::string(value)};
    }
    return {std::string(value.substr(0, caret)), std::string(value.substr(caret + 1))};
}

std::string JoinFeedValue(std::string_view title, std::string_view source) {
    std::string value;
    value.reserve(title.size() + 1 + source.size());
    value.append(title).append(1, '^').append(source);
    return value;
}

} // namespace qv
