#include "text/decimal.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

using qv::ParseDecimal;

TEST(Decimal, TakesOnlyWholeRunsOfDigitsThatFit) {
    EXPECT_EQ(ParseDecimal<int>("007"), 7);
    EXPECT_EQ(ParseDecimal<uint32_t>("4294967295"), 4294967295u);
    for (const char* bad : {"", "-0", "-1", "+1", " 1", "1 ", "1x", "4294967296"}) {
        EXPECT_EQ(ParseDecimal<uint32_t>(bad), std::nullopt) << bad;
        EXPECT_EQ(ParseDecimal<int64_t>(bad).has_value(), bad == std::string_view("4294967296"))
            << bad;
    }
}

} // namespace
