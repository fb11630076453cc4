#pragma once

#include <string>
#include <string_view>

namespace qv {

// Appends bytes of a Windows code page other than UTF-8 as UTF-16, through the system's own
// tables; a byte the page does not map becomes U+FFFD or the system's default character.
// False, with nothing appended, when the system does not know the code page.
bool AppendLegacyDecoded(std::u16string& out, std::string_view bytes, unsigned codePage);

} // namespace qv
