#pragma once

#include <windows.h>

#include <array>
#include <string>

#include "framework/handles.h"
#include "framework/window.h"

namespace qv {

// The tab strip and the tab marker with the feed titles drawn into copies of their bitmaps, so
// that the titles survive every repaint of the two pictures.
class TabStripImages {
public:
    // titles: the first six characters of each feed's title; selected: the marked feed, 1..5.
    void Apply(const Window& strip, const Window& marker, const std::array<std::wstring, 5>& titles,
               int selected);
    // The titles drawn last.
    const std::array<std::wstring, 5>& Titles() const { return titles_; }

private:
    std::array<std::wstring, 5> titles_;
    UniqueBitmap strip_;
    UniqueBitmap marker_;
};

} // namespace qv
