// SPDX-License-Identifier: GPL-3.0-or-later
// What the load and save dialogs start from: the filter by family, the format a load
// starts at, and the save dialog's default stop address by the device's rules.
#include "fileio/FileChoices.h"

#include <gtest/gtest.h>

#include "fileio/FileSettings.h"
#include "support/Records.h"

namespace kardo {
namespace {

TEST(FileChoices, FiltersAndTheFormatALoadStartsAt) {
    EXPECT_EQ(FileDialogFilterFor('C'), "Inh8m (*.HEX)|*.hex|All Files (*.*)|*.*");
    EXPECT_EQ(FileDialogFilterFor('P'), "Jedec (*.JED)|*.jed|All Files (*.*)|*.*");
    EXPECT_EQ(FileDialogFilterFor('M'),
              "Intel Hex (*.HEX)|*.hex|Motorola (*.MOT)|*.MOT|Binary (*.BIN)|*.bin|All Files (*.*)|*.*");
    EXPECT_EQ(LoadFormatFor('C', 2), format::Inh8m);
    EXPECT_EQ(LoadFormatFor('P', 1), format::Jedec);
    EXPECT_EQ(LoadFormatFor('E', 1), format::IntelHex);
    EXPECT_EQ(LoadFormatFor('E', 2), format::Motorola);
    EXPECT_EQ(LoadFormatFor('E', 3), format::Binary);
    EXPECT_EQ(LoadFormatFor('E', 4), 3);  // "All Files": shown as Binary by the format dialog
}

TEST(FileChoices, DefaultStopOfTheSaveRange) {
    const auto micro = [](int32_t last, uint8_t variant, uint8_t code, uint16_t eeprom) {
        DeviceRecord r = test::MakeRecord('M', last, variant);
        r.SetU8(field::ConfigCode, code);
        r.SetU16(field::EepromSize, eeprom);
        return r;
    };
    EXPECT_EQ(DefaultSaveStopText(test::MakeRecord('E', 0x7FFF), false), "00007FFF");
    EXPECT_EQ(DefaultSaveStopText(test::MakeRecord('C', 0x7FF), false), "000007FF");
    EXPECT_EQ(DefaultSaveStopText(micro(0xFFF, 35, 0, 0), false), "0000101F");
    DeviceRecord twoBlocks = micro(0xFFFF, 0, 0, 0);
    twoBlocks.SetU8(field::ManufId, 0xBF);
    twoBlocks.SetU8(field::DeviceId, 0x91);
    EXPECT_EQ(DefaultSaveStopText(twoBlocks, false), "00011FFF");
    EXPECT_EQ(DefaultSaveStopText(micro(0x7FF, 32, 0xCB, 128), false), "0000087F");
    EXPECT_EQ(DefaultSaveStopText(micro(0x1FFF, 32, 0xD1, 512), false), "000021FF");
    // The last rule that applies wins.
    EXPECT_EQ(DefaultSaveStopText(micro(0x1FFF, 35, 0xD1, 512), false), "000021FF");
    // An 'M' device that none of them covers leaves the field empty.
    EXPECT_EQ(DefaultSaveStopText(micro(0x7FFF, 32, 0xD2, 1024), false), "");
    // Both halves of an odd/even pair.
    EXPECT_EQ(DefaultSaveStopText(test::MakeRecord('R', 0x7FFF), true), "0000FFFF");
    EXPECT_EQ(DefaultSaveStopText(test::MakeRecord('R', 0x7FFF), false), "00007FFF");
}

}  // namespace
}  // namespace kardo
