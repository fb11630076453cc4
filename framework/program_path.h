#pragma once

#include <string>
#include <string_view>

namespace qv {

// The directory part of a Windows path, up to and including its last backslash (or slash);
// empty when there is none.
std::string_view DirectoryWithSeparator(std::string_view path);

} // namespace qv
