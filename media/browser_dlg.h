#pragma once

#include <array>

#include "framework/dialog.h"
#include "framework/explorer1.h"
#include "framework/skin_image.h"
#include "res/resource.h"

namespace qv {

// The page browser: a large skinned window with back, forward and close buttons and a title
// strip showing the current address. The news panel creates it and opens its links in it.
class CBrowserDlg : public CDialog {
public:
    CBrowserDlg() : CDialog(IDD_BROWSER) {}

    // Created with the desktop as parent, hidden until a page is opened.
    bool CreateOnDesktop() { return Create(GetDesktopWindow()); }

    void Navigate(const char* address) { browser.Navigate(address); }
    // Its pieces and the control placed again at the display's scale.
    void LayOut();
    // What tests read back.
    const CExplorer1& Browser() const { return browser; }
    const Window& BackHover() const { return backHover; }
    const Window& ForwardHover() const { return forwardHover; }

protected:
    MessageTable Messages() const override;
    void BindControls() override;

private:
    CExplorer1 browser;
    Window backHover, forwardHover;
    std::array<SkinImage, 10> pieces_;
    void OnSize(UINT type, int width, int height);
    void OnMouseMove(UINT flags, POINT point);
    void OnLButtonDown(UINT flags, POINT point);
    void OnLButtonUp(UINT flags, POINT point);
    BOOL OnEraseBackground(HDC dc);
    void OnOK();
    void TrackPointer(POINT point) const;
    void DrawTitleStrip();
};

} // namespace qv
