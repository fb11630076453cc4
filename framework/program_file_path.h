#pragma once

#include <string>

namespace qv {

// The full path of a file beside the program, from the program's own module path: the command
// line's argument 0 may be relative or, under Wine, a Unix-style path without a backslash.
std::string ProgramFilePath(const char* fileName);

} // namespace qv
