#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace qv {

// Status lines fit a 512-byte buffer: at most 511 characters, longer ones are cut.
inline constexpr size_t kStatusLineCapacity = 512;

// The line for a printf format and its arguments, cut to fit the status buffer.
std::string FormatStatusLine(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string FormatStatusLineV(const char* format, va_list arguments)
    __attribute__((format(printf, 1, 0)));

// The line shown for one WinINet status notification (its status value, the status information
// and that information's length in bytes); none for the notifications that show nothing. The
// information is only ever an argument: text from the network is never a format.
std::optional<std::string> FetchStatusLine(uint32_t status, const void* information,
                                           uint32_t informationLength);

// The line shown after a received chunk: the byte count while the fetch is within its first
// clock second, then the rate. The figure shown is stored in `figure`.
std::string ProgressLine(uint32_t totalBytes, int64_t elapsedSeconds, double& figure);

} // namespace qv
