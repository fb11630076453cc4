#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qv {

// The reply's coding is one DecodeContent undoes: none, identity, gzip, x-gzip or deflate.
bool IsKnownContentCoding(std::string_view contentEncoding);

// A reply body as the server coded it (Content-Encoding: gzip, x-gzip, deflate, or none) made
// plain. None when the coding is unknown, or the coded body is not whole and intact (cut short,
// corrupt, its check value or length wrong), or it would grow beyond maxBytes.
std::optional<std::string> DecodeContent(std::string_view body, std::string_view contentEncoding,
                                         size_t maxBytes);

} // namespace qv
