#include "ui/web_address.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using qv::HelpPageUrl;
using qv::PercentEncode;
using qv::WebSearchUrl;

const std::string kSearchPrefix = "http://www.google.com/search?q=";

TEST(WebSearchUrl, KeepsLettersDigitsAndUnreservedMarks) {
    EXPECT_EQ(WebSearchUrl("Quorvel2024-a.b_c~d"), kSearchPrefix + "Quorvel2024-a.b_c~d");
    EXPECT_EQ(WebSearchUrl("AZaz09"), kSearchPrefix + "AZaz09");
}

TEST(WebSearchUrl, EncodesSpacesAndReservedCharacters) {
    EXPECT_EQ(WebSearchUrl("rock & roll"), kSearchPrefix + "rock%20%26%20roll");
    EXPECT_EQ(WebSearchUrl("c# vs c++"), kSearchPrefix + "c%23%20vs%20c%2B%2B");
    EXPECT_EQ(WebSearchUrl("100% sure"), kSearchPrefix + "100%25%20sure");
    EXPECT_EQ(WebSearchUrl("a=b?c/d:e@f"), kSearchPrefix + "a%3Db%3Fc%2Fd%3Ae%40f");
    EXPECT_EQ(WebSearchUrl("\"<>\\^`{|}"), kSearchPrefix + "%22%3C%3E%5C%5E%60%7B%7C%7D");
    EXPECT_EQ(WebSearchUrl("tab\there\r\n"), kSearchPrefix + "tab%09here%0D%0A");
}

TEST(WebSearchUrl, EncodesUtf8BytesInUpperCaseHex) {
    // "café ü 日本" and an emoji outside the basic plane.
    EXPECT_EQ(WebSearchUrl("caf\xC3\xA9 \xC3\xBC \xE6\x97\xA5\xE6\x9C\xAC"),
              kSearchPrefix + "caf%C3%A9%20%C3%BC%20%E6%97%A5%E6%9C%AC");
    EXPECT_EQ(WebSearchUrl("\xF0\x9F\x98\x80"), kSearchPrefix + "%F0%9F%98%80");
    EXPECT_EQ(PercentEncode(std::string("\x00\x7F\x80\xFF", 4)), "%00%7F%80%FF");
}

TEST(WebSearchUrl, TakesAQueryOfAnyLength) {
    EXPECT_EQ(WebSearchUrl(""), kSearchPrefix);
    const std::string letters(2000, 'x');
    EXPECT_EQ(WebSearchUrl(letters), kSearchPrefix + letters);
    std::string spaces;
    for (int i = 0; i < 2000; ++i) {
        spaces += "%20";
    }
    EXPECT_EQ(WebSearchUrl(std::string(2000, ' ')), kSearchPrefix + spaces);
    EXPECT_EQ(WebSearchUrl(std::string(100000, '&')).size(), kSearchPrefix.size() + 300000);
}

TEST(HelpPageUrl, CarriesTheAffiliateNumberSigned) {
    EXPECT_EQ(HelpPageUrl(0), "http://www.quorvel.example/quorvel.php?aff=0");
    EXPECT_EQ(HelpPageUrl(1234), "http://www.quorvel.example/quorvel.php?aff=1234");
    EXPECT_EQ(HelpPageUrl(0xFFFFFFFFu), "http://www.quorvel.example/quorvel.php?aff=-1");
    EXPECT_EQ(HelpPageUrl(0x80000000u), "http://www.quorvel.example/quorvel.php?aff=-2147483648");
    EXPECT_EQ(HelpPageUrl(0x7FFFFFFFu), "http://www.quorvel.example/quorvel.php?aff=2147483647");
}

} // namespace
