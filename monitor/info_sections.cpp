#include "monitor/info_sections.h"

#include <algorithm>

#include "framework/fixed_text.h"
#include "monitor/quantity_format.h"
#include "text/ascii.h"
#include "text/unicode.h"

namespace qv {

namespace {

using RowText = FixedText<64>;

template <size_t Capacity> std::string Text(const FixedText<Capacity>& text) {
    return std::string(text.view());
}

std::string Size(uint64_t bytes) {
    return Text(FormatSize(float(bytes)));
}

// The first 25 characters with three dots after them, in lower case.
std::string ShortenedLowerCase(std::string_view text) {
    return AsciiLowered(std::string(Utf8Prefix(text, 25)) + "...");
}

// A start after now (the clock was set back) or a span beyond the count counts as no time.
int64_t SecondsSince(int64_t start, int64_t now) {
    int64_t elapsed = 0;
    if (__builtin_sub_overflow(now, start, &elapsed) || elapsed < 0) {
        return 0;
    }
    return elapsed;
}

std::string MediaHeading(const NowPlaying& playing) {
    const std::string_view title = playing.title;
    if (!playing.fromSearch) {
        return "Playing " + std::string(Utf8Prefix(title, 20)) + "...";
    }
    if (Utf16Length(title) <= 30) {
        return std::string(title);
    }
    return std::string(Utf8Prefix(title, 15)) + ".." + std::string(Utf8Suffix(title, 15));
}

} // namespace

SectionLayout MediaSection(const NowPlaying& playing, int64_t now, uint32_t currentInOctets) {
    if (!playing.isPlaying) {
        return {"Stopped", 70, {}};
    }
    const uint32_t received = currentInOctets - playing.startInOctets;
    return {MediaHeading(playing),
            70,
            {
                {"URL", ShortenedLowerCase(playing.link)},
                {"Duration", Text(FormatElapsed(SecondsSince(playing.startTime, now)))},
                {"Bandwidth", Text(FormatSize(float(received)))},
                {"Bit Rate", Text(RowText::Format("%d Kbps", int(playing.bitRate / 1024)))},
            }};
}

SectionLayout ProcessorSection(const ProcessorFigures& figures) {
    return {
        "Processor Information",
        145,
        {
            {"Processor Architecture", ProcessorArchitectureName(figures.architecture)},
            {"Page Size", Text(RowText::Format("%u", unsigned(figures.pageSize)))},
            {"Lowest Memory Address",
             Text(RowText::Format("%lld", (long long)figures.lowestAddress))},
            {"Highest Memory Address",
             Text(RowText::Format("%lld", (long long)figures.highestAddress))},
            {"Number of Processors", Text(RowText::Format("%u", unsigned(figures.processorCount)))},
            {"Processor Level", Text(RowText::Format("%u", figures.level))},
        }};
}

SectionLayout MemorySection(const MemoryFigures& figures) {
    const uint64_t used = figures.totalPhysical - figures.availablePhysical;
    return {Text(RowText::Format("Memory Information: ( %u%s used )", unsigned(figures.load), "%")),
            145,
            {
                {"Total System Memory", Size(figures.totalPhysical)},
                {"Available System Memory", Size(figures.availablePhysical)},
                {"Used System Memory", Size(used)},
                {"Total Pagefile", Size(figures.totalPageFile)},
                {"Available Pagefile", Size(figures.availablePageFile)},
                {"Total Virual Memory", Size(figures.totalVirtual)},
            }};
}

SectionLayout NetworkSection(const NetworkFigures& figures) {
    const auto& mac = figures.physicalAddress;
    return {"Network Information",
            90,
            {
                {"Adapter", ShortenedLowerCase(figures.description)},
                {"Mac Address", Text(RowText::Format("%.2X:%.2X:%.2X:%.2X:%.2X:%.2X", mac[0],
                                                     mac[1], mac[2], mac[3], mac[4], mac[5]))},
                {"IP Address", std::string(figures.ip)},
                {"Subnet Mask", std::string(figures.mask)},
                {"Speed", Text(RowText::Format("%u Mbps", unsigned(figures.speed / 1000 / 1000)))},
                {"MTU", Text(RowText::Format("%u", unsigned(figures.mtu)))},
                {"Total Recieved", Text(FormatSize(float(figures.inOctets)))},
                {"Total Sent", Text(FormatSize(float(figures.outOctets)))},
                {"Recieve Errors", Text(FormatSize(float(figures.inErrors)))},
                {"Send Errors", Text(FormatSize(float(figures.outErrors)))},
            }};
}

const char* ProcessorArchitectureName(unsigned architecture) {
    switch (architecture) {
    case 0:
        return "x86 Family";
    case 6:
        return "Intel Itanium (IPF)";
    case 9:
        return "x64 (AMD or Intel)";
    default:
        return "Unknown processor";
    }
}

std::string FormatIpv4(uint32_t address) {
    return Text(RowText::Format("%u.%u.%u.%u", address & 0xFF, (address >> 8) & 0xFF,
                                (address >> 16) & 0xFF, address >> 24));
}

std::string_view TextUpToZero(const uint8_t* bytes, size_t size) {
    const auto* text = reinterpret_cast<const char*>(bytes);
    const auto* end = std::find(text, text + size, '\0');
    return {text, size_t(end - text)};
}

} // namespace qv
