#pragma once

#include <array>

#include "framework/skin_image.h"

namespace qv {

// The panels' skin pictures at the display's scale. The bar keeps them, as it lays every
// window out; the news panel draws its tab strip itself.
class PanelSkins {
public:
    void UseScale(int dpi);

private:
    std::array<SkinImage, 5> images_;
};

} // namespace qv
