#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "framework/dialog.h"
#include "res/resource.h"

namespace qv {

enum SearchBoxTimer : UINT_PTR {
    SearchFadeInTimer = 10,
    SearchFadeOutTimer = 11,
};

// The web-search box: a skinned, colour-keyed strip in the middle of the screen that fades in
// and out and hands the typed query to the default browser.
class CSearchDlg : public CDialog {
public:
    CSearchDlg() : CDialog(IDD_SEARCH) {}

    // The bar's initialisation: the field and the highlight placed, the box centred.
    void LayOut() const;
    // Shows a hidden box with the last query selected; fades a visible one out.
    void ToggleSearchBox();

    int32_t Opacity() const { return opacity_; }
    // The query as last confirmed, in UTF-8.
    const std::string& SearchText() const { return searchText_; }

    void SetColorKey(uint32_t key) { colorKey_ = key; }
    uint32_t ColorKey() const { return colorKey_; }

protected:
    MessageTable Messages() const override;
    void BindControls() override;
    BOOL OnInitDialog() override;

private:
    void ConfirmSearch();
    void StartFadeOut();
    void OnTimer(UINT_PTR id);
    void OnMouseMove(UINT flags, POINT point);
    void OnLButtonDown(UINT flags, POINT point);
    void OnLButtonUp(UINT flags, POINT point);
    BOOL OnSetCursor(HWND window, UINT hitTest, UINT message);
    BOOL OnEraseBackground(HDC dc);
    void HoverUpdate(POINT point);

    Window searchField_;
    Window highlight_;
    HCURSOR handCursor_ = nullptr;
    std::string searchText_;
    int32_t opacity_ = 0;
    uint32_t colorKey_ = 0;
};

} // namespace qv
