#pragma once

#include <cstdint>

#include "framework/fixed_text.h"

namespace qv {

// Room for any float in any band ("%.2f GB" of the largest float is 36 characters).
using QuantityText = FixedText<48>;

// Byte quantities in units of 1024: one decimal for the bar's rates, two for the information
// panel, and the bar's free-memory cell in between.
QuantityText FormatRate(float bytes);
QuantityText FormatSize(float bytes);
QuantityText FormatCompactSize(float bytes);

// "%3d%": the number right-aligned in three places.
QuantityText FormatPercent(int percent);

// Hours within the day, minutes and seconds as "HH:MM:SS"; whole days are dropped.
QuantityText FormatElapsed(int64_t seconds);

} // namespace qv
