#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace qv {

// The tabs' tooltips, one per feed: each tells how its feed's last fetch went.
class TabTips {
public:
    // A tooltip window owned by the panel, so that it goes with it.
    void Create(HWND panel);
    // The tools over the tab zones at the panel's scale.
    void Place(int dpi) const;
    void SetText(int feed, const std::wstring& text) const;
    HWND hwnd() const { return tip_; }
    void Forget() { tip_ = nullptr; }

private:
    HWND panel_ = nullptr;
    HWND tip_ = nullptr;
};

// Now, as UTC seconds since 1970.
int64_t UtcSecondsNow();
// A UTC time in the user's words: the local time, with the short date when it is not today.
std::wstring LocalTimeWords(int64_t utcSeconds, int64_t now);

} // namespace qv
