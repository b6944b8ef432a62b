// SPDX-License-Identifier: GPL-3.0-or-later
// The information panel texts of a selected device.
#include "devicedb/DeviceNotes.h"

#include <gtest/gtest.h>

#include "support/Records.h"

namespace kardo {
namespace {

using test::MakeRecord;

TEST(DeviceNotes, IdentitySizeAndVoltages) {
    auto avr = MakeRecord('M', 0x7FFF);
    avr.SetU8(field::ManufId, 0x1E);
    avr.SetU8(field::DeviceId, 0x95);
    avr.SetU8(field::DeviceId2, 0x0F);
    avr.SetF32(field::Vcc, 5.0f);
    avr.SetF32(field::Vpp, 12.5f);
    const auto info = DeviceInfoFor(avr);
    EXPECT_EQ(info.ManIDL, "0x1E");
    EXPECT_EQ(info.DevIDL, "0x95");
    EXPECT_EQ(info.DevIDL2, "0x0F");
    EXPECT_EQ(info.SizeL, "0x8000");
    EXPECT_EQ(info.VccL, " 5.00V");
    EXPECT_EQ(info.VppL, "12.50V");

    auto eeprom = avr;
    eeprom.SetU8(field::Family, 'E');  // the third byte is shown for 'M' only
    eeprom.SetF32(field::Vpp, 0.0f);
    eeprom.SetF32(field::Vcc, 3.3f);
    EXPECT_EQ(DeviceInfoFor(eeprom).DevIDL2, "");
    EXPECT_EQ(DeviceInfoFor(eeprom).VppL, "");
    EXPECT_EQ(DeviceInfoFor(eeprom).VccL, " 3.30V");

    auto unsigned_ = avr;
    unsigned_.SetU8(field::ManufId, 0);  // no signature: none of the three IDs
    const auto none = DeviceInfoFor(unsigned_);
    EXPECT_EQ(none.ManIDL + none.DevIDL + none.DevIDL2, "");
}

TEST(DeviceNotes, AdapterCodesGoToTheirLabel) {
    struct Case {
        uint8_t code;
        std::string adapter, comment;
    };
    const Case cases[] = {
        {0, "", ""},
        {1, "PLCC68 51GB", ""},
        {8, "", "100R from ZIF pin40 - pin34"},
        {14, "", "see READ_SST.TXT"},
        {16, "", "Data @4200"},
        {17, "", ""},
        {32, "TSOP32 -> DIP40", ""},
        {60, "QFP44", ""},
        {255, "", ""},
    };
    for (const Case& c : cases) {
        auto r = MakeRecord('E', 0xFF);
        r.SetU8(field::AdapterCode, c.code);
        const auto info = DeviceInfoFor(r);
        EXPECT_EQ(info.AdapL, c.adapter) << int{c.code};
        EXPECT_EQ(info.ComL, c.comment) << int{c.code};
    }
}

TEST(DeviceNotes, MicrocontrollerMemoryNotesOverwriteEachOther) {
    auto m = MakeRecord('M', 0x1FFF);
    m.SetU8(field::AdapterCode, 9);  // a wiring comment, replaced by the memory notes below
    m.SetU8(field::EncryptCode, 0x45);
    EXPECT_EQ(DeviceInfoFor(m).ComL, "Encryption @ addr 0x10000, 64 bytes");
    m.SetU8(field::EncryptCode, 0x2F);
    EXPECT_EQ(DeviceInfoFor(m).ComL, "Encryption @ addr 0x10000, 32 bytes");
    m.SetU8(field::EncryptCode, 0x30);
    EXPECT_EQ(DeviceInfoFor(m).ComL, "Encryption @ addr 0x10000");
    m.SetU8(field::EncryptCode, 0x0F);
    EXPECT_EQ(DeviceInfoFor(m).ComL, "100R from ZIF pin1 - pin15");

    m.SetU16(field::EepromSize, 512);
    EXPECT_EQ(DeviceInfoFor(m).ComL, "E2prom @ 0x02000  size = 512 bytes");
    m.SetU8(field::ManufId, 0xBF);
    m.SetU8(field::DeviceId, 0x91);
    EXPECT_EQ(DeviceInfoFor(m).ComL, "Block0 @ 0 - 0xFFFF , Block1 @ 0x10000 - 0x11FFF");
}

TEST(DeviceNotes, PicDataEepromNoteCountsEepromSizePlusOne) {
    auto pic = MakeRecord('C', 0x7FF);
    EXPECT_EQ(DeviceInfoFor(pic).ComL, "");
    pic.SetU16(field::EepromSize, 63);
    EXPECT_EQ(DeviceInfoFor(pic).ComL, "E2prom @ 0x4200  size = 64 bytes");
    pic.SetU8(field::Variant, 18);
    pic.SetU16(field::EepromSize, 255);
    EXPECT_EQ(DeviceInfoFor(pic).ComL, "E2prom @ 0xF0200  size = 256 bytes");
}

}  // namespace
}  // namespace kardo
