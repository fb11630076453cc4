#pragma once

#include <cstdint>

#include "framework/dialog.h"
#include "framework/pixel_rect.h"
#include "res/resource.h"

namespace qv {

inline constexpr PixelRect kSearchEditRect{75, 27, 240, 15};
inline constexpr PixelRect kSearchIconRect{325, 21, 30, 28};
inline constexpr PixelRect kSearchBoxRect{0, 0, 378, 53};

// The web-search box, toggled from the menu or the hotkey.
class CSearchDlg : public CDialog {
public:
    CSearchDlg() : CDialog(IDD_SEARCH) {}

    // The bar's initialisation: the query edit and the icon placed, the box centred.
    void LayOut() const {
        Window(Item(IDC_SEARCH_EDIT)).Place(kSearchEditRect);
        Window(Item(IDC_SEARCH_ICON)).Place(kSearchIconRect);
        Place(kSearchBoxRect);
        CenterOnDesktop();
    }

    uint32_t colorKey = 0;
};

} // namespace qv
