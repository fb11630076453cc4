#pragma once

#include <algorithm>
#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <ostream>
#include <string_view>

#if defined(__MINGW32__)
#define QV_PRINTF_FORMAT __MINGW_PRINTF_FORMAT
#else
#define QV_PRINTF_FORMAT printf
#endif

namespace qv {

// Printf-made text kept in place: the once-a-second samplers format into it without touching
// the heap. A longer result is cut at the capacity.
template <size_t Capacity> class FixedText {
public:
    FixedText() = default;

    [[gnu::format(QV_PRINTF_FORMAT, 1, 2)]] static FixedText Format(const char* format, ...) {
        FixedText text;
        va_list args;
        va_start(args, format);
        const int written = std::vsnprintf(text.text_, Capacity + 1, format, args);
        va_end(args);
        text.length_ = written < 0 ? 0 : std::min(size_t(written), Capacity);
        return text;
    }

    const char* c_str() const { return text_; }
    size_t size() const { return length_; }
    bool empty() const { return length_ == 0; }
    std::string_view view() const { return {text_, length_}; }
    bool operator==(std::string_view other) const { return view() == other; }
    bool operator==(const FixedText& other) const { return view() == other.view(); }
    friend std::ostream& operator<<(std::ostream& out, const FixedText& text) {
        return out << text.view();
    }

private:
    char text_[Capacity + 1] = {};
    size_t length_ = 0;
};

} // namespace qv
