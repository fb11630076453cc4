#pragma once

#include <cstdint>

#include "framework/animation.h"
#include "framework/dialog.h"
#include "res/resource.h"

namespace qv {

// The skinned player frame that fades in under the bar; at the end of a fade-in it shows the
// player browser window over its black interior.
class CDODadevoDlg : public CDialog {
public:
    CDODadevoDlg() : CDialog(IDD_PLAYER_FRAME) {}

    // The player browser window the frame shows and hides, given by the bar.
    void ShowsOver(const Window& playerBrowser) { playerBrowser_ = &playerBrowser; }

    void StartFadeIn() const;
    void StartFadeOut() const;
    // How the player is put away: the browser goes at once, the frame fades out.
    void HideBrowserAndFadeOut() const;

    int32_t Alpha() const { return alpha_; }
    uint32_t ColorKey() const { return colorKey_; }
    void SetColorKey(uint32_t key) { colorKey_ = key; }

protected:
    MessageTable Messages() const override;

private:
    void OnTimer(UINT_PTR id);

    const Window* playerBrowser_ = nullptr;
    int32_t alpha_ = 0;
    uint32_t colorKey_ = 0;
};

} // namespace qv
