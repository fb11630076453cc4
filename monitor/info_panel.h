#pragma once

#include <windows.h>

#include "monitor/adapter_sampler.h"
#include "monitor/info_sections.h"

namespace qv {

// The figures of a section of the information balloon, read from the platform structures.
SectionLayout InfoSectionLayout(int section, const SYSTEM_INFO& system,
                                const MEMORYSTATUSEX& memory, const AdapterAddress& address);

// Black text on boxes of cream: the heading in the bold font, the rows in the normal one.
void DrawInfoSection(HDC dc, const SectionLayout& layout, HFONT bold, HFONT normal);

inline constexpr COLORREF kBalloonCream = RGB(255, 255, 225);

} // namespace qv
