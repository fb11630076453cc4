#pragma once

#include <cstdint>

#include "framework/fixed_text.h"

namespace qv {

// Two rate texts joined by a slash.
using RateText = FixedText<2 * 48 + 1>;

struct AdapterRates {
    float received = 0.0f;
    float sent = 0.0f;
};

// Bytes received and sent since the previous reading of an adapter's 32-bit octet counters. The
// first reading counts from 0; a counter that went back (wrapped or reset) counts 0 once.
class AdapterRateMeter {
public:
    AdapterRates Update(uint32_t inOctets, uint32_t outOctets);

    // The next reading counts 0 and only starts an interval: after a sleep the counters moved
    // over the whole time asleep.
    void StartFreshInterval() { freshInterval_ = true; }

private:
    bool freshInterval_ = false;
    uint32_t previousInOctets_ = 0;
    uint32_t previousOutOctets_ = 0;
};

// "received/sent", each in the rate format.
RateText FormatAdapterRates(const AdapterRates& rates);

} // namespace qv
