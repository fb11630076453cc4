#pragma once

#include <windows.h>

#include <cstdint>

#include "framework/handles.h"
#include "media/now_playing.h"
#include "monitor/adapter_monitor.h"
#include "monitor/balloon_dlg.h"
#include "monitor/balloon_layout.h"
#include "monitor/info_sections.h"

namespace qv {

// The figures of a section of the information balloon, read from the platform structures and
// the monitored adapter's figures.
SectionLayout InfoSectionLayout(InfoSection section, const NowPlaying& playing,
                                const SYSTEM_INFO& system, const MEMORYSTATUSEX& memory,
                                const NetworkFigures& network);

// Black text on boxes of cream: the heading in the bold font, the rows in the normal one.
void DrawInfoSection(HDC dc, const SectionLayout& layout, HFONT bold, HFONT normal);

inline constexpr COLORREF kBalloonCream = RGB(255, 255, 225);

// The information panel, held by the bar: places the balloon under the hovered item, repaints
// the shown section on the bar's section timer each second, and paints it. It is given the bar
// (whose timers it runs), the balloon window, the playback state and the monitored adapter when
// the bar is made.
class InfoPanel {
public:
    void Connect(HWND bar, CBalloonDlg& balloon, const NowPlaying& playing,
                 const AdapterMonitor& adapter);

    // memory is the bar's memory record, refreshed by each repaint.
    void ShowSection(InfoSection section, MEMORYSTATUSEX& memory);
    void PaintSection(InfoSection section, MEMORYSTATUSEX& memory);
    void StopSectionTimers() const;
    // The section a timer of the bar repaints; false for a timer that is not a section's.
    static bool SectionOfTimer(UINT_PTR timer, InfoSection& section);

    int32_t PanelFontHeight() const { return panelFontHeight_; }
    int32_t HeadingFontHeight() const { return headingFontHeight_; }

private:
    HWND bar_ = nullptr;
    CBalloonDlg* balloon_ = nullptr;
    const NowPlaying* playing_ = nullptr;
    const AdapterMonitor* adapter_ = nullptr;
    int32_t panelFontHeight_ = 16;
    int32_t headingFontHeight_ = 18;
    FaceFontCache panelFont_;
    FaceFontCache headingFont_;
};

} // namespace qv
