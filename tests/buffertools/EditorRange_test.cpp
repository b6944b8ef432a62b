// SPDX-License-Identifier: GPL-3.0-or-later
// How far the hex editor reaches into the buffer, for every kind of device.
#include "buffertools/EditorRange.h"

#include <gtest/gtest.h>

#include "support/Records.h"

namespace kardo {
namespace {

using test::MakeRecord;

constexpr std::size_t kBig = 0x400000;

TEST(EditorRange, TheDeviceBytesWithAnAvrsEepromAndBothDevicesOfAPair) {
    EXPECT_EQ(EditorRange(MakeRecord('E', 0x7FFF), false, kBig), 0x8000u);
    auto avr = MakeRecord('M', 0x7FFF);
    EXPECT_EQ(EditorRange(avr, false, kBig), 0x8000u);
    avr.SetU16(field::EepromSize, 0x400);
    EXPECT_EQ(EditorRange(avr, false, kBig), 0x8400u);
    // Only an AVR keeps its data EEPROM behind the code.
    auto eeprom = MakeRecord('E', 0x7FFF);
    eeprom.SetU16(field::EepromSize, 0x400);
    EXPECT_EQ(EditorRange(eeprom, false, kBig), 0x8000u);
    EXPECT_EQ(EditorRange(MakeRecord('R', 0x7FFF), true, kBig), 0x10000u);
}

TEST(EditorRange, APicReachesItsIdConfigurationAndDataBytes) {
    auto pic = MakeRecord('C', 0x1FFF);
    pic.SetU8(field::ConfigCode, 45);
    EXPECT_EQ(EditorRange(pic, false, kBig), 0x10000u);
    pic.SetU8(field::ConfigCode, 46);
    EXPECT_EQ(EditorRange(pic, false, kBig), 0x20000u);
    EXPECT_EQ(EditorRange(MakeRecord('C', 0xFFFF, 18), false, kBig), 0x100000u);
}

TEST(EditorRange, AtLeastSixteenPagesAndNeverPastTheBuffer) {
    EXPECT_EQ(EditorRange(MakeRecord('E', 0x7F), false, kBig), 4096u);
    EXPECT_EQ(EditorRange(MakeRecord('E', -5), false, kBig), 4096u);
    EXPECT_EQ(EditorRange(MakeRecord('E', 0x7FFFFFFF), false, 0x10000), 0x10000u);
    EXPECT_EQ(EditorRange(MakeRecord('C', 0xFFFF, 18), false, 0x20000), 0x20000u);
    EXPECT_EQ(EditorRange(MakeRecord('E', 0x7F), false, 1000), 1000u);
}

}  // namespace
}  // namespace kardo
