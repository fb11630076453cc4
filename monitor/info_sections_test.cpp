#include "monitor/info_sections.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "monitor/balloon_layout.h"

namespace {

using namespace qv;

NowPlaying Playing(std::string title, bool fromSearch) {
    NowPlaying playing;
    playing.isPlaying = true;
    playing.fromSearch = fromSearch;
    playing.title = std::move(title);
    playing.link = "HTTP://Media.Example.COM/Streams/Live/Channel.ASX";
    playing.startTime = 1'000'000;
    playing.startInOctets = 4294967000u;
    return playing;
}

TEST(MediaSection, StoppedShowsOnlyItsHeading) {
    const SectionLayout layout = MediaSection(NowPlaying{}, 5, 0);
    EXPECT_EQ(layout.heading, "Stopped");
    EXPECT_TRUE(layout.rows.empty());
}

TEST(MediaSection, PlayingShowsLinkDurationBandwidthAndBitRate) {
    NowPlaying playing = Playing("03. Morning Radio", false);
    playing.bitRate = 131072;
    // The counter wrapped since the start: 296 + 2000 bytes.
    const SectionLayout layout = MediaSection(playing, 1'000'000 + 3725, 2000);
    EXPECT_EQ(layout.heading, "Playing 03. Morning Radio...");
    EXPECT_EQ(layout.valueX, 70);
    const std::vector<SectionRow> expected{
        {"URL", "http://media.example.com/..."},
        {"Duration", "01:02:05"},
        {"Bandwidth", "2.24 KB"},
        {"Bit Rate", "128 Kbps"},
    };
    EXPECT_EQ(layout.rows, expected);
    playing.bitRate = -1500; // integer division toward zero
    EXPECT_EQ(MediaSection(playing, 0, 0).rows[3].value, "-1 Kbps");
}

TEST(MediaSection, DurationIsNoneWhenTheClockWentBackOrTheTimesAreExtreme) {
    NowPlaying playing = Playing("Clock", false);
    EXPECT_EQ(MediaSection(playing, playing.startTime - 10, 0).rows[1].value, "00:00:00");
    playing.startTime = INT64_MIN;
    EXPECT_EQ(MediaSection(playing, INT64_MAX, 0).rows[1].value, "00:00:00");
    playing.startTime = INT64_MAX;
    EXPECT_EQ(MediaSection(playing, INT64_MIN, 0).rows[1].value, "00:00:00");
    playing.startTime = INT64_MIN + 1;
    EXPECT_EQ(MediaSection(playing, INT64_MIN + 3661 + 1, 0).rows[1].value, "01:01:01");
}

TEST(MediaSection, HeadingShortensLongTitles) {
    EXPECT_EQ(MediaSection(Playing("A title of exactly 30 letters!", true), 0, 0).heading,
              "A title of exactly 30 letters!");
    EXPECT_EQ(MediaSection(Playing("123456789012345X123456789012345", true), 0, 0).heading,
              "123456789012345..123456789012345");
    EXPECT_EQ(MediaSection(Playing("1. A playlist entry with a long name", false), 0, 0).heading,
              "Playing 1. A playlist entry ...");
    EXPECT_EQ(MediaSection(Playing("", false), 0, 0).heading, "Playing ...");
    EXPECT_EQ(MediaSection(Playing("Short", false), 0, 0).rows[0].value,
              "http://media.example.com/...");
}

// Titles and links are UTF-8 and are shortened by characters: never a byte of one.
TEST(MediaSection, ShortensTitlesInAnyScriptByCharacters) {
    EXPECT_EQ(MediaSection(Playing("1. Ειδήσεις της ημέρας από", false), 0, 0).heading,
              "Playing 1. Ειδήσεις της ημέρ...");
    EXPECT_EQ(MediaSection(Playing("3. ニュース速報です", false), 0, 0).heading,
              "Playing 3. ニュース速報です...");
    // 30 characters stay whole, though they take 90 bytes.
    const std::string thirty = "一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十";
    EXPECT_EQ(MediaSection(Playing(thirty, true), 0, 0).heading, thirty);
    EXPECT_EQ(MediaSection(Playing("1. Новости дня: очень длинное название", true), 0, 0).heading,
              "1. Новости дня:..линное название");
    NowPlaying playing = Playing("Jazz", false);
    playing.link = "http://a/Ραδιόφωνο-ΖΩΝΤΑΝΑ-ροή.asx"; // only ASCII letters are lowered
    EXPECT_EQ(MediaSection(playing, 0, 0).rows[0].value, "http://a/Ραδιόφωνο-ΖΩΝΤΑΝ...");
}

TEST(ProcessorSection, PrintsTheFullAddressRange) {
    ProcessorFigures figures{9, 4096, 0x10000, 0x7FFFFFFEFFFF, 8, 6};
    const SectionLayout layout = ProcessorSection(figures);
    EXPECT_EQ(layout.heading, "Processor Information");
    EXPECT_EQ(layout.valueX, 145);
    const std::vector<SectionRow> expected{
        {"Processor Architecture", "x64 (AMD or Intel)"},
        {"Page Size", "4096"},
        {"Lowest Memory Address", "65536"},
        {"Highest Memory Address", "140737488289791"},
        {"Number of Processors", "8"},
        {"Processor Level", "6"},
    };
    EXPECT_EQ(layout.rows, expected);
}

TEST(ProcessorSection, NamesTheKnownArchitectures) {
    EXPECT_STREQ(ProcessorArchitectureName(0), "x86 Family");
    EXPECT_STREQ(ProcessorArchitectureName(6), "Intel Itanium (IPF)");
    EXPECT_STREQ(ProcessorArchitectureName(9), "x64 (AMD or Intel)");
    EXPECT_STREQ(ProcessorArchitectureName(5), "Unknown processor");
    EXPECT_STREQ(ProcessorArchitectureName(12), "Unknown processor");
    EXPECT_STREQ(ProcessorArchitectureName(0xFFFF), "Unknown processor");
}

TEST(MemorySection, ShowsFiguresBeyondFourGigabytes) {
    const uint64_t gigabyte = 1073741824;
    MemoryFigures figures{
        37, 24 * gigabyte, 15 * gigabyte, 40 * gigabyte, 30 * gigabyte, 131072 * gigabyte};
    const SectionLayout layout = MemorySection(figures);
    EXPECT_EQ(layout.heading, "Memory Information: ( 37% used )");
    EXPECT_EQ(layout.valueX, 145);
    const std::vector<SectionRow> expected{
        {"Total System Memory", "24.00 GB"}, {"Available System Memory", "15.00 GB"},
        {"Used System Memory", "9.00 GB"},   {"Total Pagefile", "40.00 GB"},
        {"Available Pagefile", "30.00 GB"},  {"Total Virual Memory", "131072.00 GB"},
    };
    EXPECT_EQ(layout.rows, expected);
}

TEST(NetworkSection, ShowsTheAdapterRow) {
    NetworkFigures figures;
    figures.description = "Intel(R) Ethernet Connection I219-LM";
    figures.physicalAddress = {0x00, 0x1a, 0x2B, 0xc4, 0x0D, 0xff};
    figures.ip = "192.168.1.20";
    figures.mask = "255.255.255.0";
    figures.speed = 1'000'000'000;
    figures.mtu = 1500;
    figures.inOctets = 3 * 1048576;
    figures.outOctets = 1536;
    figures.inErrors = 2;
    const SectionLayout layout = NetworkSection(figures);
    EXPECT_EQ(layout.heading, "Network Information");
    EXPECT_EQ(layout.valueX, 90);
    const std::vector<SectionRow> expected{
        {"Adapter", "intel(r) ethernet connect..."},
        {"Mac Address", "00:1A:2B:C4:0D:FF"},
        {"IP Address", "192.168.1.20"},
        {"Subnet Mask", "255.255.255.0"},
        {"Speed", "1000 Mbps"},
        {"MTU", "1500"},
        {"Total Recieved", "3.00 MB"},
        {"Total Sent", "1.50 KB"},
        {"Recieve Errors", "2 B"},
        {"Send Errors", "0 B"},
    };
    EXPECT_EQ(layout.rows, expected);
    EXPECT_EQ(SectionRowY(0), 55);
    EXPECT_EQ(SectionRowY(9), 190);
}

TEST(NetworkSection, EmptyAdapterRowStillHasEveryRow) {
    const SectionLayout layout = NetworkSection(NetworkFigures{});
    ASSERT_EQ(layout.rows.size(), 10u);
    EXPECT_EQ(layout.rows[0].value, "...");
    EXPECT_EQ(layout.rows[1].value, "00:00:00:00:00:00");
    EXPECT_EQ(layout.rows[2].value, "");
    EXPECT_EQ(layout.rows[4].value, "0 Mbps");
}

TEST(AdapterTexts, AddressesAndDescriptions) {
    EXPECT_EQ(FormatIpv4(0x0100007F), "127.0.0.1");
    EXPECT_EQ(FormatIpv4(0x00FFFFFF), "255.255.255.0");
    EXPECT_EQ(FormatIpv4(0), "0.0.0.0");
    const uint8_t description[8] = {'e', 't', 'h', '0', 0, 'x', 'y', 'z'};
    EXPECT_EQ(TextUpToZero(description, 8), "eth0");
    EXPECT_EQ(TextUpToZero(description, 3), "eth");
}

TEST(BalloonLayout, EachSectionHangsUnderItsItem) {
    const int screen = 1280;
    EXPECT_EQ(BalloonRect(InfoSection::Media, screen, false), (PixelRect{921, 18, 245, 60}));
    EXPECT_EQ(BalloonRect(InfoSection::Media, screen, true), (PixelRect{921, 18, 245, 130}));
    EXPECT_EQ(BalloonRect(InfoSection::Processor, screen, true), (PixelRect{960, 18, 245, 159}));
    EXPECT_EQ(BalloonRect(InfoSection::Memory, screen, false), (PixelRect{991, 18, 245, 160}));
    EXPECT_EQ(BalloonRect(InfoSection::Network, screen, false), (PixelRect{1030, 18, 245, 220}));
    EXPECT_EQ(SectionTimerId(InfoSection::Media), 2u);
    EXPECT_EQ(SectionTimerId(InfoSection::Network), 5u);
}

} // namespace
