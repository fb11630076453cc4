#pragma once

#include <string>
#include <string_view>

namespace qv {

// Only web pages open in the page browser: the link must begin with "http:" or "https:" (in
// any case) at its very first character. "javascript:", "file:", "vbscript:" and the rest,
// or any link led by a space or a control character, open nothing.
bool IsOpenableNewsLink(std::string_view link);

// The address the page browser is given for a link in UTF-8: a non-ASCII link percent-encoded
// as UTF-8, with '%', '&', '=' and the rest of printable ASCII as written.
std::string NewsLinkAddress(std::string_view link);

} // namespace qv
