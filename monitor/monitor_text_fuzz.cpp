// Feeds arbitrary figures and texts to the formats and the balloon's sections: whatever the
// platform reports, they must give text without crashing or undefined behaviour.
#include <cstdint>
#include <cstring>
#include <string>

#include "monitor/adapter_rates.h"
#include "monitor/cpu_load.h"
#include "monitor/info_sections.h"
#include "monitor/quantity_format.h"

namespace {

template <typename T> T Take(const uint8_t*& data, size_t& size) {
    T value{};
    const size_t n = size < sizeof value ? size : sizeof value;
    std::memcpy(&value, data, n);
    data += n;
    size -= n;
    return value;
}

std::string TakeText(const uint8_t*& data, size_t& size) {
    const size_t length = Take<uint8_t>(data, size) % 80;
    const size_t n = length < size ? length : size;
    std::string text(reinterpret_cast<const char*>(data), n);
    data += n;
    size -= n;
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace qv;
    const float bytes = Take<float>(data, size);
    FormatRate(bytes);
    FormatSize(bytes);
    FormatCompactSize(bytes);
    FormatPercent(TruncateToInt(Take<double>(data, size)));
    FormatElapsed(Take<int64_t>(data, size));

    CpuLoadMeter meter;
    meter.SetProcessorCount(Take<uint8_t>(data, size));
    meter.Update(Take<uint64_t>(data, size), Take<uint64_t>(data, size));
    TruncateToInt(meter.Update(Take<uint64_t>(data, size), Take<uint64_t>(data, size)));

    AdapterRateMeter rates;
    rates.Update(Take<uint32_t>(data, size), Take<uint32_t>(data, size));
    FormatAdapterRates(rates.Update(Take<uint32_t>(data, size), Take<uint32_t>(data, size)));

    NowPlaying playing;
    playing.isPlaying = true;
    playing.fromSearch = (Take<uint8_t>(data, size) & 1) != 0;
    playing.startTime = Take<int64_t>(data, size);
    playing.startInOctets = Take<uint32_t>(data, size);
    playing.bitRate = Take<int32_t>(data, size);
    playing.title = TakeText(data, size);
    playing.link = TakeText(data, size);
    MediaSection(playing, Take<int64_t>(data, size), Take<uint32_t>(data, size));

    ProcessorSection({Take<uint16_t>(data, size), Take<uint32_t>(data, size),
                      Take<int64_t>(data, size), Take<int64_t>(data, size),
                      Take<uint32_t>(data, size), Take<uint16_t>(data, size)});
    MemorySection({Take<uint32_t>(data, size), Take<uint64_t>(data, size),
                   Take<uint64_t>(data, size), Take<uint64_t>(data, size),
                   Take<uint64_t>(data, size), Take<uint64_t>(data, size)});

    const std::string description = TakeText(data, size);
    NetworkFigures network;
    network.description =
        TextUpToZero(reinterpret_cast<const uint8_t*>(description.data()), description.size());
    network.speed = Take<uint32_t>(data, size);
    network.inOctets = Take<uint32_t>(data, size);
    NetworkSection(network);
    FormatIpv4(Take<uint32_t>(data, size));
    return 0;
}
