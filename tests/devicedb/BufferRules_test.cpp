// SPDX-License-Identifier: GPL-3.0-or-later
// Buffer sizes for each family and the erased-pattern fill.
#include "devicedb/BufferRules.h"

#include <gtest/gtest.h>

#include "support/Records.h"
#include "support/ShippedRecords.h"

namespace kardo {
namespace {

using test::MakeRecord;

TEST(BufferRules, SizeFollowsTheFamilyRule) {
    struct Case {
        char family;
        int32_t last;
        uint8_t variant;
        std::size_t size;
    };
    const Case cases[] = {
        {'E', 0x7FFF, 0, 0x10000},   {'E', 0x1FFFF, 0, 0x20000}, {'E', 0x7FFFF, 0, 0x80000},
        {'C', 0x7FFF, 0, 0x20000},   {'M', 0x7FFF, 0, 0x20000},  {'M', 0x20000, 0, 0x40000},
        {'C', 0x7FFF, 18, 0x100000}, {'C', 0x7FFF, 5, 0x20000},  {'O', 0x7FFF, 0, 0x20000},
        {'O', 0x10000, 0, 0x40000},  {'Y', 0x7FFF, 0, 0x10000},  {'S', 0, 0, 0x10000},
        {'E', 0xFFFF, 0, 0x10000},   {'E', 0x10000, 0, 0x20000},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BufferSizeFor(MakeRecord(c.family, c.last, c.variant)), c.size)
            << c.family << " " << std::hex << c.last << " variant " << std::dec << int{c.variant};
    }
}

TEST(BufferRules, ImpossibleSizesAreRefused) {
    EXPECT_FALSE(BufferSizeFor(MakeRecord('E', -1)).has_value());
    EXPECT_FALSE(BufferSizeFor(MakeRecord('E', -0x7FFFFFFF)).has_value());
    EXPECT_FALSE(BufferSizeFor(MakeRecord('E', 0x7FFFFFFF)).has_value());
    EXPECT_FALSE(BufferSizeFor(MakeRecord('O', 0x3000000)).has_value());
    EXPECT_EQ(BufferSizeFor(MakeRecord('E', 0x3FFFFFF)), kLargestBufferSize);
    // A PIC18 record whose code area is larger than the 1 MiB image still gets room for it.
    EXPECT_EQ(BufferSizeFor(MakeRecord('C', 0x17FFFF, 18)), 0x180000u);
}

TEST(BufferRules, WordFamiliesFillPairsAndOthersFillBytes) {
    auto pic = MakeRecord('C', 0x7FF);
    pic.SetU8(field::BlankValue, 0x3F);
    DeviceBuffer odd(7);
    odd.BufferPos = 5;
    FillErased(odd, pic);
    EXPECT_EQ(std::vector<uint8_t>(odd.data(), odd.data() + 7),
              (std::vector<uint8_t>{0x3F, 0xFF, 0x3F, 0xFF, 0x3F, 0xFF, 0x3F}));
    EXPECT_EQ(odd.BufferPos, 0u);

    for (char family : {'O', 'Y'}) {
        auto word = MakeRecord(family, 0xFF);
        word.SetU8(field::BlankValue, 0x00);
        DeviceBuffer buffer(4);
        FillErased(buffer, word);
        EXPECT_EQ(std::vector<uint8_t>(buffer.data(), buffer.data() + 4),
                  (std::vector<uint8_t>{0x00, 0xFF, 0x00, 0xFF}));
    }

    auto eeprom = MakeRecord('E', 0xFF);
    eeprom.SetU8(field::BlankValue, 0xA5);
    DeviceBuffer bytes(3);
    FillErased(bytes, eeprom);
    EXPECT_EQ(std::vector<uint8_t>(bytes.data(), bytes.data() + 3),
              (std::vector<uint8_t>{0xA5, 0xA5, 0xA5}));
}

TEST(BufferRules, Pic18ConfigurationDefaultsComeFromTheMaskBytes) {
    auto pic18 = MakeRecord('C', 0x7FFF, 18);
    for (uint8_t i = 0; i < 32; ++i) {
        pic18.bytes()[field::ConfigMask.offset + i] = static_cast<uint8_t>(0xC0 + i);
    }
    DeviceBuffer buffer(*BufferSizeFor(pic18));
    FillErased(buffer, pic18);
    PlacePic18ConfigDefaults(buffer, pic18);
    for (std::size_t i = 0; i < 14; ++i) {
        EXPECT_EQ(buffer[kPic18ConfigPosition + i], 0xC0 + i);
    }
    EXPECT_EQ(buffer[kPic18ConfigPosition + 14], 0x00);  // fill of an odd position (BlankValue 0)
    EXPECT_EQ(buffer[kPic18ConfigPosition + 15], 0xFF);

    DeviceBuffer tooSmall(0x10000);  // never writes outside the buffer
    PlacePic18ConfigDefaults(tooSmall, pic18);
}

// The newer PIC18 parts whose erased configuration has bits at 0 start from their
// datasheet defaults, not from the mask: a file without configuration must not program
// the extended instruction set or a clock divider the board was not built for.
TEST(BufferRules, Pic18PartsWithBitsErasedToZeroStartFromTheirDatasheetDefaults) {
    for (const char* name :
         {"PIC18F4450", "PIC18F4520", "PIC18F4550", "PIC18F4580", "PIC18F4680"}) {
        const DeviceRecord record = test::ShippedRecord(name);
        DeviceBuffer buffer(*BufferSizeFor(record));
        FillErased(buffer, record);
        PlacePic18ConfigDefaults(buffer, record);
        const auto mask = record.ConfigMask();
        const uint8_t* config = buffer.data() + kPic18ConfigPosition;
        EXPECT_FALSE(std::equal(config, config + 14, mask.begin())) << name;
        for (std::size_t i = 0; i < 14; ++i) {
            EXPECT_EQ(config[i] & ~mask[i], 0) << name << " byte " << i << ": a bit the part lacks";
        }
        EXPECT_EQ(config[7] & 0x40, 0) << name << ": XINST erased to 0";
        EXPECT_EQ(config[0] & 0xC0, 0) << name << ": IESO and FCMEN erased to 0";
        EXPECT_EQ(config[1], 0x00) << name;  // the USB parts' clock dividers
    }
    // The older parts erase every implemented bit to 1: their mask is their default.
    const DeviceRecord pic452 = test::ShippedRecord("PIC18F452");
    DeviceBuffer buffer(*BufferSizeFor(pic452));
    PlacePic18ConfigDefaults(buffer, pic452);
    const auto mask = pic452.ConfigMask();
    EXPECT_TRUE(std::equal(mask.begin(), mask.begin() + 14, buffer.data() + kPic18ConfigPosition));
}

}  // namespace
}  // namespace kardo
