#pragma once

#include <charconv>
#include <optional>
#include <string_view>

namespace qv {

// The whole text as a number of ASCII digits; none for a sign, anything else or an overflow.
template <typename Number> std::optional<Number> ParseDecimal(std::string_view text) {
    if (text.empty() || text.front() < '0' || text.front() > '9') {
        return std::nullopt; // from_chars would take a minus sign, and "-0" as zero
    }
    Number number{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return number;
}

} // namespace qv
