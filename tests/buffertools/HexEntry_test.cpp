// SPDX-License-Identifier: GPL-3.0-or-later
// What the buffer dialogs accept as numbers and as a hexadecimal search text.
#include "buffertools/HexEntry.h"
#include "common/HexText.h"

#include <gtest/gtest.h>

namespace kardo {
namespace {

TEST(HexEntry, NumbersAreOneToEightHexDigits) {
    EXPECT_EQ(ParseHexNumber("0"), 0u);
    EXPECT_EQ(ParseHexNumber("7fF0"), 0x7FF0u);
    EXPECT_EQ(ParseHexNumber("FFFFFFFF"), 0xFFFFFFFFu);
    EXPECT_FALSE(ParseHexNumber(""));
    EXPECT_FALSE(ParseHexNumber("12G4"));
    EXPECT_FALSE(ParseHexNumber(" 12"));
    EXPECT_FALSE(ParseHexNumber("100000000"));
    EXPECT_EQ(NotAnIntegerText("12G4"), "'12G4' is not a valid integer value");
}

TEST(HexEntry, SearchTextIsPairsOfDigits) {
    EXPECT_EQ(ParseHexPattern("0a1").problem, HexPattern::Problem::OddLength);
    EXPECT_EQ(ParseHexPattern("").problem, HexPattern::Problem::OddLength);
    const HexPattern p = ParseHexPattern("0a1B");
    EXPECT_EQ(p.problem, HexPattern::Problem::None);
    EXPECT_EQ(p.bytes, (std::vector<uint8_t>{0x0A, 0x1B}));
    const HexPattern bad = ParseHexPattern("0A1G");
    EXPECT_EQ(bad.problem, HexPattern::Problem::NotHex);
    EXPECT_EQ(bad.offending, "1G");
    EXPECT_TRUE(bad.bytes.empty());
}

}  // namespace
}  // namespace kardo
