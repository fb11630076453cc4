#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qv {

// The address to ask a server for, from the one the user typed (an IRI, in UTF-8): the host's
// labels in another script become their IDNA form ("xn--..."), and every byte of the rest that is
// not printable ASCII is percent-encoded, so a path or query in any script reaches the server as
// its UTF-8. A "file:" address is kept as typed: it is opened through its Unicode path. Nothing
// when the address cannot be made one: text that is not UTF-8, or a host whose label is empty,
// holds a space or a control, or is too long for its IDNA form (63 characters).
std::optional<std::string> UriFromIri(std::string_view iri);

} // namespace qv
