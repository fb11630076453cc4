#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qv {

// Files are read and written whole. Each operation answers the system error code of its failure
// (0 when it succeeded) and shows nothing: the caller decides how a failure is reported, as a rule
// with ShowFileError. Paths are UTF-8.
using FileError = uint32_t;

// A missing file is created empty. A file larger than 1 GiB is not read (ERROR_FILE_TOO_LARGE).
std::optional<std::string> ReadWholeFileCreatingIt(const std::string& path, FileError& error);
FileError WriteWholeFile(const std::string& path, std::string_view bytes);
// Writes beside the file first and then puts the copy in its place in one step, so that a
// failed or interrupted write leaves the previous content whole.
FileError ReplaceWholeFile(const std::string& path, std::string_view bytes);

// The platform's file-error message box: the path and the system's text for the error.
void ShowFileError(const std::string& path, FileError error);

} // namespace qv
