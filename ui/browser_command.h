#pragma once

#include <string>
#include <string_view>

namespace qv {

// The command line that opens a URL with the program registered for http, made from its
// command template: "%1" and "%L" take the URL, "%*" (the further arguments, of which there are
// none) goes; a template that names no place for the URL gets it appended in quotes.
std::wstring BrowserCommandLine(std::wstring_view command, std::wstring_view url);

} // namespace qv
