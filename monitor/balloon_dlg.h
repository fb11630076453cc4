#pragma once

#include <cstdint>

#include "framework/animation.h"
#include "framework/dialog.h"
#include "framework/skin_image.h"
#include "res/resource.h"

namespace qv {

// The cream information balloon under the bar. It fades in and out on its own timers and hides
// as soon as the pointer enters it.
class CBalloonDlg : public CDialog {
public:
    CBalloonDlg() : CDialog(IDD_BALLOON) {}

    // Starting one fade stops the other, so the one started last wins.
    void FadeIn() const;
    void FadeOut() const;

    int32_t Alpha() const { return alpha_; }
    uint32_t ColorKey() const { return colorKey_; }
    void SetColorKey(uint32_t key) { colorKey_ = key; }
    // Draws the balloon's pictures for the display's scale; the next placement lays them out.
    void UseScale();

protected:
    MessageTable Messages() const override;
    void BindControls() override;

private:
    void OnSize(UINT type, int width, int height);
    void OnTimer(UINT_PTR id);
    void OnMouseMove(UINT flags, POINT point);
    BOOL OnEraseBackground(HDC dc);

    SkinImage topImage_;
    Window middleImage_;
    Window bottomImage_;
    SkinImage middleSkin_;
    SkinImage bottomSkin_;
    int32_t alpha_ = 0;
    uint32_t colorKey_ = 0;
};

} // namespace qv
