// SPDX-License-Identifier: GPL-3.0-or-later
// The loader's PIC rules and the buffer it loads into: where each area of a file lands,
// which areas the log misses, how the buffer is sized and filled for each family.
#include <gtest/gtest.h>

#include "common/Format.h"
#include "fileio/FileLoader.h"
#include "fileio/LoadBuffer.h"
#include "fileio/PicAreaMap.h"
#include "support/RecordingFileHost.h"
#include "support/Records.h"
#include "support/ShippedRecords.h"
#include "support/TempDir.h"

namespace kardo {
namespace {

using Lines = std::vector<std::string>;
using Bytes = std::vector<uint8_t>;

std::string Record(uint8_t length, uint16_t address, uint8_t type, const Bytes& data) {
    std::string text = Format(":%02X%04X%02X", unsigned{length}, unsigned{address}, unsigned{type});
    unsigned sum = length + (address >> 8) + (address & 0xFF) + type;
    for (const uint8_t b : data) {
        text += Format("%02X", unsigned{b});
        sum += b;
    }
    return text + Format("%02X\n", (0x100 - sum) & 0xFFu);
}
std::string Data(uint16_t address, const Bytes& data) {
    return Record(static_cast<uint8_t>(data.size()), address, 0, data);
}
std::string Extended(uint16_t value) {
    return Record(2, 0, 0x04, {uint8_t(value >> 8), uint8_t(value)});
}
const std::string kEnd = ":00000001FF\n";

DeviceRecord Pic(uint8_t variant, uint8_t configCode, int32_t lastAddress, uint16_t eepromSize) {
    DeviceRecord r = test::MakeRecord('C', lastAddress, variant, "PICTEST");
    r.SetU8(field::ConfigCode, configCode);
    r.SetU16(field::EepromSize, eepromSize);
    r.SetU8(field::BlankValue, 0x3F);
    return r;
}

struct PicLoad {
    test::TempDir dir;
    DeviceBuffer buffer;
    test::RecordingFileHost host;
    uint8_t result = 0;

    PicLoad(const DeviceRecord& record, const std::string& text, uint8_t fileFormat = format::Inh8m,
            uint8_t fillOption = fill::DeviceDefault) {
        test::WriteBytes(dir / "pic.hex", Bytes(text.begin(), text.end()));
        FileSettings settings;
        settings.format = fileFormat;
        settings.fill = fillOption;
        result = LoadFile({dir / "pic.hex", record, settings}, buffer, host);
    }
    Lines Warnings() const { return Lines(host.lines.begin() + 2, host.lines.end()); }
    uint16_t Word(std::size_t at) const {
        return static_cast<uint16_t>(buffer[at] << 8 | buffer[at + 1]);
    }
};

TEST(LoadPic, Inh8mPairsAreExchangedAndTheMissingAreasAreNamed) {
    // PIC16F84A: configuration at file 0x400E; neither ID nor EEPROM in the file.
    const PicLoad l(test::ShippedRecord("PIC16F84A"), Data(0x0000, {0x0E, 0x28, 0x8C, 0x00}) +
                                                          Data(0x400E, {0xF2, 0x3F}) +
                                                          Data(0x0010, {0x34}) + kEnd);
    EXPECT_EQ(l.result, load::Ok);
    EXPECT_EQ(l.Word(0), 0x280E);
    EXPECT_EQ(l.Word(2), 0x008C);
    EXPECT_EQ(l.Word(0x400E), 0x3FF2);
    EXPECT_EQ(l.buffer[0x11], 0x34);  // a last single byte goes to the low byte of its word
    EXPECT_EQ(l.Warnings(),
              (Lines{" WARNING not present in file : DATA", " WARNING not present in file : ID"}));
    EXPECT_EQ(l.Word(0x20), 0x3FFF);  // the erased pattern where the file has nothing

    // A record inside the ID area counts for the ID wherever in it it starts, and an
    // empty record at the end of the file ends the load.
    const PicLoad off(test::ShippedRecord("PIC16F84A"),
                      Data(0x4002, {0x01, 0x00}) + Data(0x4200, {0x11, 0x00}) + ":0000000000\n");
    EXPECT_EQ(off.result, load::Ok);
    EXPECT_EQ(off.Word(0x4002), 0x0001);
    EXPECT_EQ(off.Word(0x4200), 0x0011);  // data EEPROM: 0x4200 up to 0x4360 counts as DATA
    EXPECT_EQ(off.Warnings(), (Lines{" WARNING not present in file : CONFIG"}));
    EXPECT_EQ(off.Word(0), 0x3FFF);
}

TEST(LoadPic, FillChoicesGoInPairs) {
    const DeviceRecord pic = Pic(2, 0x09, 0x7FF, 0);
    const struct {
        uint8_t fill;
        uint8_t high, low;
    } cases[] = {
        {fill::DeviceDefault, 0x3F, 0xFF}, {fill::FF, 0x00, 0xFF}, {fill::Zero, 0x00, 0x00}};
    for (const auto& c : cases) {
        const PicLoad l(pic, kEnd, format::Inh8m, c.fill);
        ASSERT_EQ(l.buffer.BufferSize(), 0x20000u);
        for (std::size_t at : {std::size_t{0}, std::size_t{0x400E}, std::size_t{0x1FFFE}}) {
            EXPECT_EQ(l.buffer[at], c.high) << int(c.fill);
            EXPECT_EQ(l.buffer[at + 1], c.low) << int(c.fill);
        }
    }
    // An odd size ends after a high byte.
    DeviceBuffer odd;
    PrepareLoadBuffer(odd, pic, 5, fill::DeviceDefault);
    EXPECT_EQ((Bytes{odd.data(), odd.data() + 5}), (Bytes{0x3F, 0xFF, 0x3F, 0xFF, 0x3F}));

    // PIC18-style parts get their configuration defaults after a fill, not without one.
    DeviceRecord pic18 = Pic(18, 0x1B, 0x7FFF, 255);
    pic18.SetU8(field::ConfigMask, 0x27);
    DeviceBuffer buffer;
    PrepareLoadBuffer(buffer, pic18, 0x100000, fill::Zero);
    EXPECT_EQ(buffer[0xF0010], 0x27);
    buffer[0xF0010] = 0x55;
    PrepareLoadBuffer(buffer, pic18, 0x100000, fill::Disable);
    EXPECT_EQ(buffer[0xF0010], 0x55);  // with no fill the buffer keeps what it held
}

TEST(LoadPic, AreasAboveTheCodeOfLargerMidRangeParts) {
    // Configuration code 46 and up: ID at 0x10000, configuration at 0x1000E, and the data
    // EEPROM from file 0x1E000 at 0x10200.
    const PicLoad l(Pic(2, 46, 0x3FFF, 0x7F),
                    Extended(0x0001) + Data(0x0000, {0x05, 0x00, 0x0A, 0x00}) +
                        Data(0x000E, {0x72, 0x3F}) + Data(0xE000, {0x10, 0x00, 0x5A, 0x00}) + kEnd);
    EXPECT_EQ(l.result, load::Ok);
    EXPECT_TRUE(l.Warnings().empty());
    EXPECT_EQ(l.Word(0x10000), 0x0005);
    EXPECT_EQ(l.Word(0x1000E), 0x3F72);
    EXPECT_EQ(l.Word(0x10200), 0x0010);
    EXPECT_EQ(l.Word(0x10202), 0x005A);
}

TEST(LoadPic, Pic18AreasOpenByExtendedAddress) {
    const DeviceRecord pic18 = Pic(18, 0x1B, 0x7FFF, 255);
    const PicLoad l(pic18, Extended(0x0000) + Data(0x0000, {0x0D, 0xEF}) +            //
                               Extended(0x0020) + Data(0x0000, {0x18, 0xF4}) +        // ID
                               Extended(0x0030) + Data(0x0001, {0x26, 0x06, 0x08}) +  // CONFIG1H on
                               Extended(0x00F0) + Data(0x0000, {0x10, 0x20, 0x30}) +  // EEPROM
                               Extended(0x0000) + Data(0x0010, {0x01, 0x02}) + kEnd);
    EXPECT_EQ(l.result, load::Ok);
    EXPECT_TRUE(l.Warnings().empty());
    EXPECT_EQ(l.Word(0), 0xEF0D);
    EXPECT_EQ(l.Word(0xF0000), 0xF418);
    EXPECT_EQ(l.buffer[0xF0010], 0x26);  // 0x300001 is the high byte of the first word
    EXPECT_EQ(l.buffer[0xF0013], 0x06);
    EXPECT_EQ(l.buffer[0xF0012], 0x08);
    EXPECT_EQ((Bytes{l.buffer[0xF0200], l.buffer[0xF0201], l.buffer[0xF0202]}),
              (Bytes{0x10, 0x20, 0x30}));
    EXPECT_EQ(l.Word(0x10), 0x0201);  // back below 0x20: exchanged again
}

// Records that would mislead a load fail it with their line: an extended address with a
// wrong checksum (its base would move what follows), an empty record with more after it
// (the rest would be left unread). An empty record that ends the file still ends it.
TEST(LoadPic, AWrongExtendedAddressOrAnEmptyRecordBeforeTheEndFails) {
    const DeviceRecord pic = test::ShippedRecord("PIC16F84A");
    const std::string empty = ":0000000000\n";
    struct Case {
        std::string text;
        uint8_t format, result;
        const char* last;
    };
    for (const Case& c : {
             Case{":020000040000FB\n" + Data(0, {1, 2}) + kEnd, format::Inh8m, load::ChecksumError,
                  " Checksum Error "},
             Case{Data(0, {1, 2}) + empty + Data(2, {3, 4}) + kEnd, format::Inh8m, load::NotInh8m,
                  " Not INH8M format"},
             Case{Record(1, 0, 0, {1, 2}) + empty + Record(1, 1, 0, {3, 4}) + kEnd, format::Inx16,
                  load::NotInx16, " Not INX16 format"},
             Case{Data(0, {1, 2}) + empty, format::Inh8m, load::Ok, nullptr},
         }) {
        const PicLoad l(pic, c.text, c.format);
        EXPECT_EQ(l.result, c.result) << c.text;
        if (c.last != nullptr) {
            EXPECT_EQ(l.host.lines.back(), c.last) << c.text;
        }
    }
}

TEST(LoadPic, Inx16WordsComeHighByteFirst) {
    const PicLoad l(test::ShippedRecord("PIC16F84A"),
                    Record(2, 0x0000, 0, {0x28, 0x0E, 0x00, 0x8C}) +
                        Record(1, 0x2000, 0, {0x00, 0x05}) + Record(1, 0x2007, 0, {0x3F, 0xF2}) +
                        Record(1, 0x2100, 0, {0x00, 0x10}) + kEnd,
                    format::Inx16);
    EXPECT_EQ(l.result, load::Ok);
    EXPECT_TRUE(l.Warnings().empty());
    EXPECT_EQ(l.Word(0), 0x280E);
    EXPECT_EQ(l.Word(2), 0x008C);
    EXPECT_EQ(l.Word(0x4000), 0x0005);
    EXPECT_EQ(l.Word(0x400E), 0x3FF2);
    EXPECT_EQ(l.Word(0x4200), 0x0010);

    // A part whose configuration word is at 0x0FFF: moved to 0x400E.
    const PicLoad small(Pic(6, 0x0F, 0x3FF, 0), Record(1, 0x0FFF, 0, {0x0F, 0xEA}) + kEnd,
                        format::Inx16);
    EXPECT_EQ(small.Word(0x400E), 0x0FEA);
    EXPECT_EQ(small.Warnings(), Lines{" WARNING not present in file : ID"});
}

// The area map, row by row, as the loader's table gives it.
TEST(LoadPic, AreaMapForEveryVariant) {
    struct Row {
        uint8_t variant, configCode;
        uint32_t idFile, idBuffer, configFile, configBuffer;
        uint8_t missing;  // with an EEPROM of 0x40 bytes
    };
    constexpr uint8_t D = area::Data, C = area::Config, I = area::Id;
    const Row rows[] = {
        {0, 0x13, 0x800, 0x4000, 0x1FFE, 0x400E, C | I},
        {6, 0x0F, 0x800, 0x4000, 0x1FFE, 0x400E, C | I},
        {11, 0, 0x800, 0x4000, 0x1FFE, 0x400E, C | I},
        {17, 0, 0x800, 0x4000, 0x1FFE, 0x400E, C | I},
        {19, 0, 0x800, 0x4000, 0x1FFE, 0x400E, C | I},
        {40, 0, 0x800, 0x4000, 0x1FFE, 0x400E, C | I},
        {3, 0, 0x800, 0x4000, 0xFE00, 0x400E, C},
        {8, 0, 0x800, 0x4000, 0xFE00, 0x800E, C},
        {1, 45, 0x4000, 0x4000, 0x400E, 0x400E, D | C | I},
        {2, 0, 0x4000, 0x4000, 0x400E, 0x400E, D | C | I},
        {4, 0, 0x4000, 0x4000, 0x400E, 0x400E, D | C | I},
        {5, 0, 0x4000, 0x4000, 0x400E, 0x400E, D | C | I},
        {7, 0, 0x4000, 0x4000, 0x400E, 0x400E, D | C | I},
        {9, 0, 0x4000, 0x4000, 0x400E, 0x400E, D | C | I},
        {10, 0, 0x4000, 0x4000, 0x400E, 0x400E, D | C | I},
        {1, 46, 0x10000, 0x10000, 0x1000E, 0x1000E, D | C | I},
        {10, 48, 0x10000, 0x10000, 0x1000E, 0x1000E, D | C | I},
        {18, 0x1B, 0x20, 0xF0000, 0x30, 0xF0010, D | C | I},
    };
    for (const Row& r : rows) {
        const PicAreaMap map = PicAreaMapFor(Pic(r.variant, r.configCode, 0x7FF, 0x40));
        const std::string what =
            "variant " + std::to_string(r.variant) + " code " + std::to_string(r.configCode);
        EXPECT_EQ(map.idFile, r.idFile) << what;
        EXPECT_EQ(map.idBuffer, r.idBuffer) << what;
        EXPECT_EQ(map.configFile, r.configFile) << what;
        EXPECT_EQ(map.configBuffer, r.configBuffer) << what;
        EXPECT_EQ(map.missingPreset, r.missing) << what;
        EXPECT_EQ(map.byExtendedAddress, r.variant == 18) << what;
        const bool eepromAbove = r.configCode >= 46 && r.variant != 18;
        EXPECT_EQ(map.InEepromRange(0x1E000), eepromAbove) << what;
        // One word for each of the 0x41 EEPROM bytes.
        EXPECT_EQ(map.InEepromRange(0x1E081), eepromAbove) << what;
        EXPECT_FALSE(map.InEepromRange(0x1E082)) << what;
    }
    // Without a data EEPROM the file need not bring one.
    EXPECT_EQ(PicAreaMapFor(Pic(2, 0, 0x7FF, 0)).missingPreset, C | I);
    // The ID address follows the code: (LastAddress OR 0xF) + 1.
    EXPECT_EQ(PicAreaMapFor(Pic(0, 0, 0x1FE, 0)).idFile, 0x200u);

    const struct {
        uint8_t variant;
        uint32_t idWord, configWord;
    } words[] = {{0, 0x400, 0x0FFF},  {6, 0x400, 0x0FFF},  {10, 0x400, 0x0FFF},
                 {1, 0x2000, 0x2007}, {2, 0x2000, 0x2007}, {9, 0x2000, 0x2007},
                 {3, 0x400, 0xFE00},  {8, 0x400, 0xFE00},  {18, 0x400, 0x7F00}};
    for (const auto& w : words) {
        const PicWordMap map = PicWordMapFor(Pic(w.variant, 0, 0x7FF, 0));
        EXPECT_EQ(map.idWord, w.idWord) << int(w.variant);
        EXPECT_EQ(map.configWord, w.configWord) << int(w.variant);
    }
    // PIC18 in INX16: the areas stay clear of the code, at their old words while the code
    // ends below word 0x4200, after it beyond.
    const struct {
        int32_t last;
        uint32_t idWord, configWord, eepromWord;
    } pic18[] = {{0x7FFF, 0x4000, 0x7F00, 0x4200},
                 {0x83EF, 0x41F8, 0x7F00, 0x4200},
                 {0x83FF, 0x4200, 0x4208, 0x4210},
                 {0x87FF, 0x4400, 0x4408, 0x4410},
                 {0xFFFF, 0x8000, 0x8008, 0x8010}};
    for (const auto& p : pic18) {
        const PicWordMap map = PicWordMapFor(Pic(18, 0x2B, p.last, 1023));
        EXPECT_EQ(map.idWord, p.idWord) << std::hex << p.last;
        EXPECT_EQ(map.configWord, p.configWord) << std::hex << p.last;
        EXPECT_EQ(map.eepromWord, p.eepromWord) << std::hex << p.last;
        EXPECT_EQ(map.eepromWordEnd, p.eepromWord + 512) << std::hex << p.last;
    }
}

TEST(LoadPic, BufferSizeForEveryFamily) {
    const auto record = [](char family, int32_t last, uint8_t variant = 0, uint8_t code = 0) {
        DeviceRecord r = test::MakeRecord(family, last, variant);
        r.SetU8(field::ConfigCode, code);
        return r;
    };
    DeviceRecord mega328 = record('M', 0x7FFF, 32, 0xD2);
    mega328.SetU16(field::EepromSize, 1024);
    DeviceRecord sst = record('M', 0xFFFF);
    sst.SetU8(field::ManufId, 0xBF);
    sst.SetU8(field::DeviceId, 0x91);
    const struct {
        const char* what;
        DeviceRecord r;
        bool oddEven;
        int64_t capacity;
        std::size_t size;
    } cases[] = {
        {"E 32K", record('E', 0x7FFF), false, 0x7FFF, 0x20000},
        {"E 256K", record('E', 0x3FFFF), false, 0x3FFFF, 0x40000},
        {"O 32K", record('O', 0x7FFF), false, 0x7FFF, 0x20000},
        {"C", record('C', 0x7FF, 2, 0x09), false, 0x7FF, 0x20000},
        {"C code 46", record('C', 0x3FFF, 2, 46), false, 0x3FFF, 0x20000},
        {"C variant 18", record('C', 0x7FFF, 18, 0x1B), false, 0x7FFF, 0x100000},
        // Its ID, configuration and EEPROM sit at 0xF0000 and above whatever its code.
        {"C variant 18 code 47", record('C', 0x7FFF, 18, 47), false, 0x7FFF, 0x100000},
        {"M code and EEPROM", mega328, false, 0x7FFF, 0x8400},
        {"M variant 35", record('M', 0xFFF, 35), false, 0x101F, 0x10000},
        {"M two blocks", sst, false, 0xFFFF, 0x12000},
        {"M other", record('M', 0x1FFF, 32, 0xCC), false, 0x1FFF, 0x10000},
        // Never smaller than the device.
        {"M 128K other", record('M', 0x1FFFF, 32, 0xCC), false, 0x1FFFF, 0x20000},
        {"R", record('R', 0x7FFF), false, 0x7FFF, 0x8000},
        {"R odd and even", record('R', 0x7FFF), true, 0x10000, 0x20000},
        {"R odd and even 128K", record('R', 0x1FFFF), true, 0x40000, 0x40000},
    };
    for (const auto& c : cases) {
        const LoadSizes sizes = LoadSizesFor(c.r, c.oddEven);
        EXPECT_EQ(sizes.capacity, c.capacity) << c.what;
        EXPECT_EQ(sizes.bufferSize, c.size) << c.what;
    }
}

}  // namespace
}  // namespace kardo
