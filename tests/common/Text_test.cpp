// SPDX-License-Identifier: GPL-3.0-or-later
// Texts the program builds: hexadecimal entry and the message catalogue.
#include <gtest/gtest.h>

#include "common/HexText.h"
#include "common/MessageCatalogue.h"

namespace kardo {
namespace {

TEST(HexText, LettersOfEitherCaseAreDigits) {
    EXPECT_EQ(ParseHexText("1A3"), 0x1A3u);
    EXPECT_EQ(ParseHexText("ff"), 0xFFu);
    EXPECT_EQ(ParseHexText("0007FFFF"), 0x7FFFFu);
    EXPECT_EQ(ParseHexText(""), 0u);
}

TEST(MessageCatalogue, CompareErrorPutsTheNameBetweenTheBytes) {
    EXPECT_EQ(ErrorLine(11, "AT28C256", 0x1A3, 0xFF, 0x00),
              "  Compare Error @ 0x001A3 Ram = 0xFF AT28C256 = 0x00");
    EXPECT_EQ(ErrorLine(10, "X", 0x12345, 0x0A, 0xB0), "  Compare Error @ 0x12345 Ram = 0x0A X = 0xB0");
    // A name is text, never a format.
    EXPECT_EQ(ErrorLine(11, "%s%n", 0, 1, 2), "  Compare Error @ 0x00000 Ram = 0x01 %s%n = 0x02");
}

TEST(MessageCatalogue, EveryEntryRendersAsListed) {
    const std::string n = "PIC16F84A";
    EXPECT_EQ(ErrorLine(0, n, 0, 0, 0), " ERASE Error");
    EXPECT_EQ(ErrorLine(5, n, 0, 0, 0), " Data file not found");
    EXPECT_EQ(ErrorLine(6, n, 0, 0, 0), " NO adapter found !!!");
    EXPECT_EQ(ErrorLine(7, n, 0, 0, 0), " WRONG adapter found !!!");
    EXPECT_EQ(ErrorLine(8, n, 0, 0, 0), " Incorrect Version Data file !!!");
    EXPECT_EQ(ErrorLine(9, n, 0, 0, 0), " PIC16F84A Locked");
    EXPECT_EQ(ErrorLine(12, n, 0, 0, 0), " PIC16F84A not blank");
    EXPECT_EQ(ErrorLine(13, n, 0, 0, 0), " Problem sending MCU file");
    EXPECT_EQ(ErrorLine(14, n, 0, 0, 0), " Problem sending FPGA file");
    for (unsigned code : {1u, 2u, 3u, 4u, 15u, 255u}) {
        EXPECT_EQ(ErrorLine(code, n, 0, 0, 0), " ** unknown ERROR **") << code;
    }

    const char* suffixes[] = {" is Blank", " Erased", " Locked", " and RAM Compare OK",
                              " Read", " Programmed", " Verified", " is clean"};
    for (unsigned code = 0; code < 8; ++code) {
        EXPECT_EQ(ResultLine(code, n), " PIC16F84A" + std::string(suffixes[code])) << code;
    }
    EXPECT_EQ(ResultLine(8, n), " FPGA programmed OK");
    EXPECT_EQ(ResultLine(9, n), " MCU file sent OK");
    EXPECT_EQ(ResultLine(10, n), " Parameters sent OK");
    EXPECT_EQ(ResultLine(11, n), "");
}

}  // namespace
}  // namespace kardo
