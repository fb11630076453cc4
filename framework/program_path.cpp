#include "framework/program_path.h"

namespace qv {

std::string_view DirectoryWithSeparator(std::string_view path) {
    const size_t last = path.find_last_of("\\/");
    return last == std::string_view::npos ? std::string_view() : path.substr(0, last + 1);
}

} // namespace qv
