#pragma once

#include <string>
#include <string_view>

namespace qv {

// Only web pages open in the page browser: the link must begin with "http:" or "https:" (in
// any case) at its very first character. "javascript:", "file:", "vbscript:" and the rest,
// or any link led by a space or a control character, open nothing.
bool IsOpenableNewsLink(std::string_view link);

// A link resolved against the address of the document it stands in (RFC 3986, section 5.2):
// "/a/b.html" against "http://site/feed.xml" is "http://site/a/b.html". A link with a scheme of
// its own, an empty link, or a base without a scheme leaves the link as written.
std::string ResolveNewsLink(std::string_view base, std::string_view link);

// The link starts with a scheme of its own ("http:", "tag:"): it is an address, not a path.
bool HasUriScheme(std::string_view link);

// The address the page browser is given for a link in UTF-8: a non-ASCII link percent-encoded
// as UTF-8, with '%', '&', '=' and the rest of printable ASCII as written.
std::string NewsLinkAddress(std::string_view link);

} // namespace qv
