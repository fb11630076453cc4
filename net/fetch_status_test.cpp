#include "net/fetch_status.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace {

using qv::FetchStatusLine;
using qv::ProgressLine;

std::optional<std::string> LineFor(uint32_t status) {
    return FetchStatusLine(status, nullptr, 0);
}

TEST(FetchStatusLine, ShowsTheLineOfEachStage) {
    const char host[] = "video.example";
    EXPECT_EQ(FetchStatusLine(10, host, sizeof host), "Resolving name for video.example");
    EXPECT_EQ(FetchStatusLine(11, host, sizeof host), "Resolved name for video.example");
    EXPECT_EQ(LineFor(20), "Connecting to socket address ");
    EXPECT_EQ(LineFor(21), "Connected to socket address");
    EXPECT_EQ(LineFor(30), "Sending request...");
    EXPECT_EQ(LineFor(31), "Request sent");
    EXPECT_EQ(LineFor(41), "Response received");
    EXPECT_EQ(LineFor(50), "Closing the connection to the server");
    EXPECT_EQ(LineFor(51), "Connection to the server closed");
    EXPECT_EQ(LineFor(60), "");
    EXPECT_EQ(LineFor(40), std::nullopt);
    EXPECT_EQ(LineFor(70), std::nullopt);
    EXPECT_EQ(LineFor(42), "Unknown status: 42");
    EXPECT_EQ(LineFor(0xFFFFFFFF), "Unknown status: -1");
}

TEST(FetchStatusLine, RequestCompleteShowsItsTwoWordsOnlyWhenThereAreEight) {
    const uint32_t words[2] = {0x1F, 0xABCDEF01};
    EXPECT_EQ(FetchStatusLine(100, words, 8),
              "Request complete, dwResult = 0000001F, dwError = ABCDEF01");
    EXPECT_EQ(FetchStatusLine(100, words, 4), "Request complete");
    EXPECT_EQ(FetchStatusLine(100, words, 16), "Request complete");
    EXPECT_EQ(FetchStatusLine(100, nullptr, 8), "Request complete");
}

TEST(FetchStatusLine, NetworkTextIsNeverAFormatAndNeverOverrunsTheLine) {
    const char formats[] = "%s%s%n%x";
    EXPECT_EQ(FetchStatusLine(10, formats, sizeof formats), "Resolving name for %s%s%n%x");

    const std::string longName(2000, 'h');
    const auto line = FetchStatusLine(11, longName.c_str(), uint32_t(longName.size() + 1));
    ASSERT_TRUE(line);
    EXPECT_EQ(line->size(), 511u);
    EXPECT_EQ(line->substr(0, 20), "Resolved name for hh");

    // Information not terminated within its length is read only that far.
    const char unterminated[4] = {'a', 'b', 'c', 'd'};
    EXPECT_EQ(FetchStatusLine(10, unterminated, 3), "Resolving name for abc");
    EXPECT_EQ(FetchStatusLine(10, nullptr, 30), "Resolving name for ");
}

TEST(ProgressLine, CountsBytesWithinTheFirstSecondAndThenShowsTheRate) {
    double figure = -1;
    EXPECT_EQ(ProgressLine(4095, 0, figure), "Searching 4095 bytes");
    EXPECT_EQ(figure, 4095.0);
    EXPECT_EQ(ProgressLine(102400, 4, figure), "Searching (25.0 Kb/s)");
    EXPECT_EQ(figure, 25.0);
    EXPECT_EQ(ProgressLine(12595, 1, figure), "Searching (12.3 Kb/s)");
    EXPECT_NEAR(figure, 12.2998, 1e-3);
    // A clock set back during the fetch counts as the first second.
    EXPECT_EQ(ProgressLine(10, -3, figure), "Searching 10 bytes");
    EXPECT_EQ(ProgressLine(4294967295u, 0, figure), "Searching 4294967295 bytes");
}

TEST(FormatStatusLine, CutsAtTheBufferAndKeepsShortLinesWhole) {
    EXPECT_EQ(qv::FormatStatusLine("%d-%s", 7, "x"), "7-x");
    EXPECT_EQ(qv::FormatStatusLine("%600d", 1).size(), qv::kStatusLineCapacity - 1);
}

} // namespace
