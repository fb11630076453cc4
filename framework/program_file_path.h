#pragma once

#include <string>

namespace qv {

// The full path, in UTF-8, of a file beside the program, from the program's own module path: the
// command line's argument 0 may be relative or, under Wine, a Unix-style path without a
// backslash, and the folder may be named in any script.
std::string ProgramFilePath(const char* fileName);

} // namespace qv
