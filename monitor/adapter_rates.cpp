#include "monitor/adapter_rates.h"

#include <utility>

#include "monitor/quantity_format.h"

namespace qv {

namespace {

float CounterDelta(uint32_t now, uint32_t before) {
    const double delta = double(now) - double(before);
    return delta < 0.0 ? 0.0f : float(delta);
}

} // namespace

AdapterRates AdapterRateMeter::Update(uint32_t inOctets, uint32_t outOctets) {
    AdapterRates rates{CounterDelta(inOctets, previousInOctets_),
                       CounterDelta(outOctets, previousOutOctets_)};
    if (std::exchange(freshInterval_, false)) {
        rates = {};
    }
    previousInOctets_ = inOctets;
    previousOutOctets_ = outOctets;
    return rates;
}

RateText FormatAdapterRates(const AdapterRates& rates) {
    return RateText::Format("%s/%s", FormatRate(rates.received).c_str(),
                            FormatRate(rates.sent).c_str());
}

} // namespace qv
