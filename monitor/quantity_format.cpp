#include "monitor/quantity_format.h"

#include <algorithm>

namespace qv {

namespace {

constexpr float kKilo = 1024.0f;
constexpr float kMega = 1048576.0f;
constexpr float kGiga = 1073741824.0f;

// One printf template per band: bytes, kilobytes, megabytes, gigabytes.
struct BandTemplates {
    const char* bytes;
    const char* kilo;
    const char* mega;
    const char* giga;
};

QuantityText FormatInBands(float bytes, const BandTemplates& templates) {
    if (bytes < kKilo) {
        return QuantityText::Format(templates.bytes, double(bytes));
    }
    if (bytes < kMega) {
        return QuantityText::Format(templates.kilo, double(bytes) * 0.0009765625);
    }
    if (bytes < kGiga) {
        return QuantityText::Format(templates.mega, double(bytes) / 1048576.0);
    }
    return QuantityText::Format(templates.giga, double(bytes) / 1073741824.0);
}

} // namespace

QuantityText FormatRate(float bytes) {
    return FormatInBands(bytes, {"%.0f B", "%.1f KB", "%.1f MB", "%.1f GB"});
}

QuantityText FormatSize(float bytes) {
    return FormatInBands(bytes, {"%.0f B", "%.2f KB", "%.2f MB", "%.2f GB"});
}

QuantityText FormatCompactSize(float bytes) {
    return FormatCompactSize(bytes, 2);
}

QuantityText FormatCompactSize(float bytes, int maxDecimals) {
    struct Shape {
        double value;
        int decimals;
        const char* unit;
    };
    const auto shape = [bytes]() -> Shape {
        if (bytes < kKilo) {
            return {double(bytes), 0, "B"};
        }
        if (bytes < kMega) {
            return {double(bytes) * 0.0009765625, 2, "KB"};
        }
        if (bytes < kGiga) {
            const double megabytes = double(bytes) / 1048576.0;
            return {megabytes, megabytes > 999.0 && megabytes < 1024.0 ? 0 : 1, "MB"};
        }
        return {double(bytes) / 1073741824.0, 2, "GB"};
    }();
    return QuantityText::Format("%.*f %s", std::clamp(maxDecimals, 0, shape.decimals), shape.value,
                                shape.unit);
}

QuantityText FormatPercent(int percent) {
    return QuantityText::Format("%3d%s", percent, "%");
}

QuantityText FormatElapsed(int64_t seconds) {
    const long long s = seconds;
    const long long hours = s / 3600 - (s / 86400) * 24;
    const long long minutes = s / 60 - (s / 3600) * 60;
    const long long rest = s - (s / 60) * 60;
    return QuantityText::Format("%02lld:%02lld:%02lld", hours, minutes, rest);
}

} // namespace qv
