#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "settings/playlist_edits.h"

// Any answer splits without fault; every path is non-empty, holds no zero and gives a name.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view answer(reinterpret_cast<const char*>(data), size);
    for (const std::string& path : qv::SelectedFilePaths(answer)) {
        if (path.empty() || path.find('\0') != std::string::npos) {
            std::abort();
        }
        qv::FileNameOf(path);
        qv::FileTitle(path);
    }
    return 0;
}
