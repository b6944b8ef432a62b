// SPDX-License-Identifier: GPL-3.0-or-later
// What the load and save dialogs start from: the filter by family, the format a load
// starts at, and the save dialog's default stop address by the device's rules.
#include "fileio/FileChoices.h"

#include <gtest/gtest.h>

#include "common/FileFilters.h"
#include "fileio/FileSettings.h"
#include "fileio/FileWriter.h"
#include "fileio/LoadBuffer.h"
#include "support/Records.h"
#include "support/ShippedRecords.h"

namespace kardo {
namespace {

TEST(FileChoices, FiltersAndTheFormatALoadStartsAt) {
    EXPECT_EQ(FileDialogFilterFor('C'), "Inh8m (*.HEX)|*.hex|All Files (*.*)|*.*");
    EXPECT_EQ(FileDialogFilterFor('P'), "Jedec (*.JED)|*.jed|All Files (*.*)|*.*");
    EXPECT_EQ(
        FileDialogFilterFor('M'),
        "Intel Hex (*.HEX)|*.hex|Motorola (*.MOT)|*.MOT|Binary (*.BIN)|*.bin|All Files (*.*)|*.*");
    EXPECT_EQ(LoadFormatFor('C', 2), format::Inh8m);
    EXPECT_EQ(LoadFormatFor('P', 1), format::Jedec);
    EXPECT_EQ(LoadFormatFor('E', 1), format::IntelHex);
    EXPECT_EQ(LoadFormatFor('E', 2), format::Motorola);
    EXPECT_EQ(LoadFormatFor('E', 3), format::Binary);
    EXPECT_EQ(LoadFormatFor('E', 4), 3);  // "All Files": shown as Binary by the format dialog
}

// A dropped file starts from the filter its name would be picked under.
TEST(FileChoices, TheFilterADroppedFileMatches) {
    const struct {
        char family;
        const char* file;
        int filter;
    } cases[] = {
        {'E', "/d/fw.hex", 1}, {'E', "fw.HEX", 1},     {'M', "fw.mot", 2},  {'E', "fw.bin", 3},
        {'E', "fw.elf", 4},    {'E', "README", 4},     {'C', "app.hex", 1}, {'C', "app.s19", 2},
        {'P', "gal.JED", 1},   {'E', "dir.hex/fw", 4},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LoadFilterIndexFor(c.family, c.file), c.filter) << c.family << " " << c.file;
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
    // Every part whose buffer keeps its data EEPROM after the code saves it too; one
    // without, its code.
    EXPECT_EQ(DefaultSaveStopText(micro(0x7FFF, 32, 0xD2, 1024), false), "000083FF");
    EXPECT_EQ(DefaultSaveStopText(micro(0x3FFF, 32, 0xCD, 512), false), "000041FF");
    EXPECT_EQ(DefaultSaveStopText(micro(0x1FFF, 32, 0x20, 512), false), "00001FFF");
    // Both halves of an odd/even pair.
    EXPECT_EQ(DefaultSaveStopText(test::MakeRecord('R', 0x7FFF), true), "0000FFFF");
    EXPECT_EQ(DefaultSaveStopText(test::MakeRecord('R', 0x7FFF), false), "00007FFF");
}

// Save with the dialog's defaults works for every shipped part, and keeps all the buffer
// holds of the part: nothing the load of a whole file put there is left out.
TEST(FileChoices, TheDefaultRangeOfEveryShippedPartSaves) {
    for (const DeviceRecord& record : test::ShippedRecords()) {
        DeviceBuffer buffer(LoadSizesFor(record, false).bufferSize);
        const std::string stop = DefaultSaveStopText(record, false);
        ASSERT_EQ(stop.size(), 8u) << record.Name();
        const SaveRequest request{"x", record, format::IntelHex, 0,
                                  static_cast<uint32_t>(std::stoul(stop, nullptr, 16))};
        EXPECT_EQ(SaveRangeProblem(request, buffer), "") << record.Name();
        if (const auto eeprom = IspDataEepromArea(record)) {
            EXPECT_EQ(request.stop + 1u, eeprom->start + eeprom->size) << record.Name();
        }
    }
}

// The dialogs show each pattern once, and a name typed without an extension gets the
// chosen filter's, or the first filter's under "All Files".
TEST(FileChoices, DialogFiltersAndTheExtensionANameGets) {
    const auto filters = ParseFileFilter(FileDialogFilterFor('E'));
    ASSERT_EQ(filters.size(), 4u);
    EXPECT_EQ(filters[0].name, "Intel Hex");
    EXPECT_EQ(filters[1].name, "Motorola");
    EXPECT_EQ(filters[1].pattern, "*.MOT");
    EXPECT_EQ(filters[3].name, "All Files");
    const std::string extensions[] = {"hex", "mot", "bin", "hex"};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(DefaultExtension(filters, i), extensions[i]) << i;
    }
    EXPECT_EQ(DefaultExtension(ParseFileFilter(FileDialogFilterFor('P')), 1), "jed");
    // A description whose brackets are no repeat of its pattern keeps them.
    EXPECT_EQ(ParseFileFilter("Dump (raw)|*.bin")[0].name, "Dump (raw)");
    EXPECT_EQ(DefaultExtension(ParseFileFilter("Any|*|Lists|*.a;*.b"), 1), "");
}

}  // namespace
}  // namespace kardo
