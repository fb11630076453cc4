#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qv {

// Files are read and written whole; a failure shows the file-error message box and is
// reported to the caller as an empty result or false.
std::optional<std::string> ReadWholeFileCreatingIt(const std::string& path);
bool WriteWholeFile(const std::string& path, std::string_view bytes);
// Writes beside the file first and then puts the copy in its place in one step, so that a
// failed or interrupted write leaves the previous content whole.
bool ReplaceWholeFile(const std::string& path, std::string_view bytes);

} // namespace qv
