#include "media/player_browser_dlg.h"

namespace qv {

MessageTable CDODadevo1Dlg::Messages() const {
    static constexpr MessageEntry table[] = {
        IgnoreCommand<IDOK>(),
        IgnoreCommand<IDCANCEL>(),
    };
    return table;
}

void CDODadevo1Dlg::BindControls() {
    browser.ReplacePlaceholder(Item(IDC_PLAYER_BROWSER_CONTROL));
}

} // namespace qv
