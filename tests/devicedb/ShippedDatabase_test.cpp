// SPDX-License-Identifier: GPL-3.0-or-later
// A check of every record in the database files we ship: each one must mean something
// to the code that will read it, and each file must survive a dump and rebuild.
#include <gtest/gtest.h>

#include "fileio/PldLayout.h"

#include <array>
#include <cstdlib>
#include <map>
#include <set>
#include <tuple>

#include "config/ConfigSheetTable.h"
#include "config/PicConfigModel.h"
#include "config/PicEffects.h"
#include "config/PicSheetTable.h"
#include "config/SheetTraits.h"
#include "devicedb/BufferRules.h"
#include "devicedb/DeviceBuffer.h"
#include "devicedb/DeviceDatabase.h"
#include "devicedb/DeviceNotes.h"
#include "support/TempDir.h"
#include "support/TestPaths.h"

namespace kardo {
namespace {

const std::filesystem::path kDataDir = kardo::test::BuiltDataDir();

struct Shipped {
    std::string manufacturer;
    DeviceRecord record;
};

std::vector<Shipped> AllRecords(const std::string& file) {
    const auto path = kDataDir / file;
    std::vector<Shipped> all;
    const auto manufacturers = DeviceDatabase::ListManufacturers(path);
    EXPECT_TRUE(manufacturers.has_value()) << path;
    if (!manufacturers) {
        return all;
    }
    for (int m = 0; m < static_cast<int>(manufacturers->size()); ++m) {
        const auto names = DeviceDatabase::ListDevices(path, m);
        std::set<std::string> seen;
        for (int k = 0; k < static_cast<int>(names->size()); ++k) {
            const auto lookup = DeviceDatabase::LoadRecord(path, m, k);
            EXPECT_EQ(lookup.status, DeviceDatabase::RecordLookup::Status::Ok);
            EXPECT_EQ(lookup.record.Name(), names->at(static_cast<std::size_t>(k)));
            EXPECT_FALSE(lookup.record.Name().empty());
            EXPECT_TRUE(seen.insert(lookup.record.Name()).second)
                << lookup.record.Name() << " twice under "
                << manufacturers->at(static_cast<std::size_t>(m));
            all.push_back({manufacturers->at(static_cast<std::size_t>(m)), lookup.record});
        }
    }
    return all;
}

bool HasAlgorithm(char family) {
    return family == 'C' || family == 'E' || family == 'M';
}

// The AVR/8051/serial-memory sheets that a ConfigCode shows.
bool HasConfigSheet(uint8_t code) {
    for (const ConfigPage& page : ConfigPages()) {
        for (uint8_t c : page.codes) {
            if (c == code) {
                return true;
            }
        }
    }
    return false;
}

const PicPageSet* PicSheetsFor(uint8_t code) {
    for (const PicPageSet& set : PicPageSets()) {
        for (uint8_t c : set.codes) {
            if (c == code) {
                return &set;
            }
        }
    }
    return nullptr;
}

// Per configuration byte, the bits that some control of the part's sheets sets one way
// or the other (its choices give different values there). Only the controls the part
// is shown count, with the effects its rules give them: a bit that only a hidden
// control writes cannot be set by the user.
std::map<uint8_t, uint8_t> PicSheetBits(const DeviceRecord& r) {
    DeviceBuffer noBuffer;  // the sheets are built from the record alone
    const PicConfigModel model(r, noBuffer);
    const auto masks = r.ConfigMask();
    std::vector<uint8_t> scratch(masks.size(), 0);
    const PicBytes bytes(scratch, std::span<const uint8_t>(masks.data(), masks.size()));
    std::map<uint8_t, uint8_t> bits;
    for (const PicPage& page : model.pages()) {
        for (const PicControl& control : page.controls) {
            if (!control.visible || control.choices.empty()) {
                continue;
            }
            std::set<uint8_t> written;
            for (const PicEffect& e : control.choices) {
                for (const PicClause& c : e) {
                    written.insert(c.byte);
                }
            }
            for (uint8_t byte : written) {
                bits[byte] |= 0;
                for (uint8_t from : {uint8_t{0x00}, uint8_t{0xFF}}) {
                    const uint8_t first = bytes.Result(control.choices.front(), byte, from);
                    for (const PicEffect& e : control.choices) {
                        bits[byte] |= static_cast<uint8_t>(bytes.Result(e, byte, from) ^ first);
                    }
                }
            }
        }
    }
    return bits;
}

// What holds for a record of any family.
void CheckCommon(const DeviceRecord& r) {
    const std::string known = "CEMOYPRSFL";
    EXPECT_NE(known.find(r.Family()), std::string::npos) << "family " << r.Family();
    const auto bufferSize = BufferSizeFor(r);
    ASSERT_TRUE(bufferSize.has_value());
    EXPECT_GE(static_cast<int64_t>(*bufferSize), r.Size());
    EXPECT_EQ(r.ButtonMask2() & ~0x05, 0);
    if (!HasAlgorithm(r.Family())) {
        EXPECT_EQ(r.ButtonMask() & ~0x0F, 0)
            << "only Load, Save, Edit and Config without an algorithm";
        EXPECT_EQ(r.ButtonMask2() & 0x01, 0);
    }
    // Config opens a dialog that must show a sheet for the code.
    if ((r.ButtonMask() & 0x08) != 0) {
        if (r.Family() == 'C') {
            EXPECT_NE(PicSheetsFor(r.ConfigCode()), nullptr)
                << "no PIC sheet for code " << int{r.ConfigCode()};
        } else {
            EXPECT_TRUE(HasConfigSheet(r.ConfigCode()))
                << "no sheet for code " << int{r.ConfigCode()};
        }
    }
    EXPECT_GT(r.PinCount(), 0);
    EXPECT_EQ(r.DefaultOptions() & 0x0D & ~r.OptionMask(), 0)
        << "a default the device does not offer";
    EXPECT_GT(r.Vcc(), 0.0f);
    EXPECT_LE(r.Vcc(), r.VccMax());
    EXPECT_GE(r.Vpp(), 0.0f);
    if (r.ManufId() == 0) {
        EXPECT_EQ(r.DeviceId(), 0);
        EXPECT_EQ(r.DeviceId2(), 0);
    }
    if (r.AdapterCode() != 0) {
        const auto info = DeviceInfoFor(r);
        EXPECT_FALSE(info.AdapL.empty() && info.ComL.empty()) << "unknown adapter code";
    }
}

void CheckEeprom(const DeviceRecord& r) {
    EXPECT_EQ(r.Size() % 128, 0) << "the EEPROM routines work in 128-byte blocks";
    EXPECT_EQ(r.ButtonMask() & 0x18, 0) << "no configuration and no blank check for 28C parts";
    EXPECT_EQ(r.ButtonMask() & 0xE0, 0xE0) << "Read, Program and Verify";
    EXPECT_EQ(r.ButtonMask2() & 0x01, 0) << "no erase for 28C parts";
    EXPECT_EQ(r.ConfigCode(), 0);
    EXPECT_EQ(r.BlankValue(), 0xFF);
    // The socket wiring follows the die: 28 pins up to 32 KB (24 or 28 for 2 KB), 32
    // beyond; a PLCC32 part needs the adapter onto its die's DIP footprint.
    const bool bigDie = r.Size() > 0x8000;
    if (r.AdapterCode() == 0) {
        EXPECT_TRUE(bigDie ? r.PinCount() == 32
                           : r.PinCount() == 28 || (r.Size() <= 0x800 && r.PinCount() == 24))
            << int{r.PinCount()} << " pins for " << r.Size() << " bytes";
    } else {
        EXPECT_EQ(r.PinCount(), 32);
        EXPECT_EQ(r.AdapterCode(), bigDie ? 4 : 3) << "the PLCC32 adapter for the die";
    }
}

void CheckPic(const DeviceRecord& r) {
    const bool pic18 = r.Variant() == 18;
    EXPECT_EQ(r.Size() % 2, 0) << "whole words";
    EXPECT_LE(r.ConfigCount(), 32);
    if (pic18) {
        EXPECT_EQ(r.ConfigCount(), 14);
        EXPECT_LT(r.LastAddress(), 0xF0000) << "code must stay below the ID bytes";
        EXPECT_LE(0xF0200u + r.EepromSize() + 1, *BufferSizeFor(r));
    } else {
        EXPECT_LT(r.LastAddress(), 0x4000) << "code must stay below the ID words";
        EXPECT_EQ(r.ConfigCount() % 2, 0);
        EXPECT_GE(r.ConfigCount(), 2);
        EXPECT_LE(0x4200u + 2u * (r.EepromSize() + 1u), *BufferSizeFor(r));
        const auto mask = r.ConfigMask();
        for (std::size_t i = r.ConfigCount(); i < mask.size(); ++i) {
            EXPECT_EQ(mask[i], 0) << "mask byte " << i << " beyond ConfigCount";
        }
    }
    EXPECT_TRUE(r.BlankValue() == 0x0F || r.BlankValue() == 0x3F || r.BlankValue() == 0xFF);
    EXPECT_EQ(r.ProgStepMask() & ~0x57, 0);
    EXPECT_EQ(r.ProgStepMask() & 0x01, 0x01) << "the code area is always offered";
    EXPECT_EQ((r.ProgStepMask() & 0x02) != 0, r.EepromSize() != 0) << "data step iff EEPROM";
    EXPECT_EQ(r.ConfigCode() >= 46 && r.ConfigCode() <= 48, false);
    EXPECT_EQ(r.ButtonMask(), 0xFF) << "every main-window operation works for a PIC";
    EXPECT_EQ(r.OptionMask() & 0x0D, 0) << "no PIC operation checks an ID or a supply";

    // Erase before program needs an electrical bulk erase; a part that has one (flash)
    // offers both, an EPROM part neither.
    EXPECT_EQ((r.ProgStepMask() & 0x40) != 0, (r.ButtonMask2() & 0x01) != 0)
        << "erase before program without an Erase, or the other way round";

    // The sheets of its code describe its configuration word(s): they write no
    // configuration byte beyond ConfigCount, and every implemented bit has a control.
    ASSERT_NE(PicSheetsFor(r.ConfigCode()), nullptr) << "no sheet for code " << int{r.ConfigCode()};
    const auto bits = PicSheetBits(r);
    const auto mask = r.ConfigMask();
    for (const auto& [byte, written] : bits) {
        EXPECT_LT(byte, r.ConfigCount()) << "the sheet writes configuration byte " << int{byte};
    }
    for (std::size_t i = 0; i < r.ConfigCount() && i < mask.size(); ++i) {
        const auto it = bits.find(static_cast<uint8_t>(i));
        const uint8_t written = it == bits.end() ? 0 : it->second;
        EXPECT_EQ(mask[i] & ~written, 0)
            << "configuration byte " << i << ": mask bits 0x" << std::hex << int{mask[i]}
            << " that no control of the sheet sets (it sets 0x" << int{written} << ")";
    }
}

void CheckIsp(const DeviceRecord& r) {
    EXPECT_EQ(r.Size() % 128, 0) << "the ISP program loop sends 128-byte blocks";
    EXPECT_NE(r.ManufId(), 0) << "the chip identity check needs a signature";
    EXPECT_TRUE(r.Variant() == 0 || r.Variant() == 30 || r.Variant() == 32);
    if (r.Variant() == 32) {
        // The fuse step sends a high fuse byte: the sheet must show one.
        EXPECT_TRUE(HasHighFuse(r.ConfigCode())) << std::hex << int{r.ConfigCode()};
        EXPECT_EQ(r.ButtonMask() & 0x08, 0x08) << "fuses need the Config button";
    }
    if (r.Variant() == 30) {
        // The single fuse byte is sent as FSTRT/RCEN and SPIEN only: sheet 202.
        EXPECT_EQ(r.ConfigCode(), 202);
        EXPECT_EQ(r.ButtonMask() & 0x08, 0x08) << "fuses need the Config button";
    }
    if (r.Variant() == 0) {
        // Nothing writes fuses of these parts; a sheet would edit values no step sends.
        EXPECT_EQ(r.ButtonMask() & 0x08, 0) << "Config without a fuse step";
    }
    EXPECT_EQ(r.ButtonMask() & 0xF7, 0xF7) << "Load, Save, Edit, Blank, Read, Program, Verify";
    EXPECT_EQ(r.ButtonMask2() & 0x01, 0x01) << "ISP flash parts have a chip erase";
    EXPECT_EQ(r.ProgStepMask() & 0x41, 0x41) << "code area, erase before program";
    if (r.Variant() == 30 || r.Variant() == 32) {
        EXPECT_EQ(r.ProgStepMask() & 0x0E, 0) << "their lock byte goes with the fuse step";
    }
    EXPECT_EQ(r.ProgStepMask() & ~0x4F, 0) << "steps the ISP family does not have";
    EXPECT_EQ(r.OptionMask() & 0x04, 0x04) << "the identity check is what guards a wrong chip";
    EXPECT_EQ(r.BlankValue(), 0xFF);
    const uint8_t encrypt = r.EncryptCode() >> 4;
    EXPECT_TRUE(encrypt == 0 || encrypt == 2 || encrypt == 4);
    EXPECT_LE(r.Size() + r.EepromSize(), static_cast<int64_t>(*BufferSizeFor(r)));
    // The file loader sizes its buffer from code + EEPROM only for the sheets that keep
    // the data EEPROM; for the others it keeps 64 KB, which code and EEPROM must fit to
    // load whole.
    if (!KeepsDataEeprom(r.ConfigCode())) {
        EXPECT_LE(r.Size() + r.EepromSize(), 0x10000) << "more than a file load can hold";
    }
}

// Serial memories have no algorithm: their image, checksum width and files only, and the
// status-register sheet of the SPI parts.
void CheckSerialMemory(const DeviceRecord& r) {
    EXPECT_TRUE(r.DataWidth() == 8 || r.DataWidth() == 16);
    EXPECT_EQ(r.Size() % (r.DataWidth() / 8), 0) << "whole words for the checksum";
    EXPECT_EQ(r.ButtonMask() & 0x07, 0x07) << "Load, Save, Edit";
    const bool statusRegister = r.ConfigCode() >= 100 && r.ConfigCode() <= 102;
    EXPECT_TRUE(statusRegister || r.ConfigCode() == 0);
    EXPECT_EQ((r.ButtonMask() & 0x08) != 0, statusRegister) << "Config iff a status register";
    EXPECT_EQ(r.BlankValue(), 0xFF);
}

// EPROMs: image and files, the options dialog for their settings, a programming voltage.
void CheckEprom(const DeviceRecord& r) {
    EXPECT_EQ(r.ButtonMask(), 0x07) << "no EPROM algorithm and no sheet";
    EXPECT_EQ(r.ConfigCode(), 0);
    EXPECT_EQ(r.BlankValue(), 0xFF);
    EXPECT_GT(r.Vpp(), r.VccMax()) << "an EPROM programs at a raised voltage";
    if (r.ManufId() != 0) {
        EXPECT_NE(r.DeviceId(), 0) << "a signature has a device code";
    }
}

// A fuse map's buffer holds every fuse of its JEDEC layout, and its checksum covers them.
void CheckFuseMap(const DeviceRecord& r) {
    const auto layout = PldLayoutFor(r.Variant());
    ASSERT_TRUE(layout.has_value()) << "no fuse layout for variant " << int{r.Variant()};
    EXPECT_EQ(r.LastAddress(), static_cast<int32_t>(layout->fuses))
        << "the checksum covers 0 .. LastAddress - 1";
    EXPECT_EQ(r.PinCount(), layout->pins);
    EXPECT_EQ(r.ButtonMask(), 0x07);
    EXPECT_TRUE(r.BlankValue() == '0' || r.BlankValue() == '1');
}

void CheckFile(const std::string& file, const std::string& families) {
    const auto records = AllRecords(file);
    EXPECT_FALSE(records.empty()) << file;
    for (const auto& [manufacturer, r] : records) {
        SCOPED_TRACE(file + ": " + manufacturer + " " + r.Name());
        EXPECT_NE(families.find(r.Family()), std::string::npos) << "wrong file for the family";
        CheckCommon(r);
        switch (r.Family()) {
            case 'E':
                CheckEeprom(r);
                break;
            case 'C':
                CheckPic(r);
                break;
            case 'M':
                CheckIsp(r);
                break;
            case 'P':
                CheckFuseMap(r);
                break;
            case 'S':
                CheckSerialMemory(r);
                break;
            case 'R':
                CheckEprom(r);
                break;
            default:
                break;
        }
    }
}

TEST(ShippedDatabase, EveryEepromRecordMeansSomethingToItsFamily) {
    CheckFile("KARDO_e.usb", "EPRS");
    // Each status-register sheet keeps a real serial memory; sheet 102's choices exist
    // only for a 128 KB part.
    std::set<int> codes;
    for (const auto& [manufacturer, r] : AllRecords("KARDO_e.usb")) {
        if (r.Family() == 'S') {
            codes.insert(r.ConfigCode());
            if (r.ConfigCode() == 102) {
                EXPECT_EQ(r.LastAddress(), 0x1FFFF) << r.Name();
            }
        }
    }
    for (int code : {100, 101, 102}) {
        EXPECT_TRUE(codes.contains(code)) << "no serial memory left for sheet " << code;
    }
}

TEST(ShippedDatabase, EveryMicrocontrollerRecordMeansSomethingToItsFamily) {
    CheckFile("KARDO_m.usb", "CM");
    // The file must cover each kind of part the algorithms distinguish.
    std::set<std::string> kinds;
    for (const auto& [manufacturer, r] : AllRecords("KARDO_m.usb")) {
        if (r.Family() == 'C') {
            kinds.insert(r.Variant() == 18        ? "pic18"
                         : r.BlankValue() == 0x0F ? "pic12bit"
                                                  : "pic14bit");
        } else {
            kinds.insert(r.Variant() == 32 ? "avr" : "8051");
        }
    }
    EXPECT_EQ(kinds, (std::set<std::string>{"pic18", "pic12bit", "pic14bit", "avr", "8051"}));
}

// The configuration sheets that no shipped part uses, and why. Every other sheet keeps
// a real part, so that its bits stay checked against a datasheet (and, for the AVRs,
// against avr-libc); a sheet listed here that gains a part must leave the list, with
// the reason its part now fits.
struct SheetWithoutPart {
    bool pic;  // a PIC sheet, or one of the other configuration sheets
    int code;
    const char* why;
};
constexpr SheetWithoutPart kSheetsWithoutPart[] = {
    {true, 0, "describes no real part as written: the PIC16C52 would have bit 0 written 0"},
    {true, 4, "describes no real part as written: no control sets the PIC16F7x7's DEBUG bit"},
    {true, 6,
     "describes no real part as written: the PIC12C671/672 keep their calibration "
     "in the last word, which only ConfigCode 0x20 or Variant 6 leave alone"},
    {true, 7,
     "describes no real part as written: the PIC14000's high copies of the "
     "protection bits have no control"},
    {true, 17, "describes no real part as written: no 14-bit part has its shifted word"},
    {true, 44,
     "describes no real part as written: no control for the PIC18F4682/4685 "
     "boot-block size"},
    {true, 45,
     "describes no real part as written: two controls mislabel the PIC18F4431's "
     "bits"},
    {true, 46, "the layout above 64 KiB: the record check keeps parts off codes 46 to 48"},
    {true, 47, "the layout above 64 KiB: the record check keeps parts off codes 46 to 48"},
    {true, 48, "the layout above 64 KiB: the record check keeps parts off codes 46 to 48"},
    {false, 130, "no EEPROM algorithm applies the SDP choice, so it would do nothing"},
    {false, 200,
     "the ATtiny11's fuse byte: neither fuse step writes it as shown (Variant 30 "
     "sends SPIEN and FSTRT only, Variant 32 adds a high fuse)"},
    {false, 201,
     "the ATtiny12/15's fuse byte: neither fuse step writes it as shown "
     "(Variant 30 sends SPIEN and FSTRT only, Variant 32 adds a high fuse)"},
    {false, 206, "8051 user fuses: no datasheet here to check the bits against"},
    {false, 208, "8051 security byte: no datasheet here to check the bits against"},
    {false, 212, "8051 user fuses and lock bits: no datasheet here to check the bits against"},
};

TEST(ShippedDatabase, EverySheetHasAPartOrAReasonWhyNot) {
    std::set<std::pair<bool, int>> used, sheets;
    for (const std::string file : {"KARDO_e.usb", "KARDO_m.usb"}) {
        for (const auto& [manufacturer, r] : AllRecords(file)) {
            if ((r.ButtonMask() & 0x08) != 0) {
                used.insert({r.Family() == 'C', r.ConfigCode()});
            }
        }
    }
    for (const PicPageSet& set : PicPageSets()) {
        for (uint8_t code : set.codes) {
            sheets.insert({true, code});
        }
    }
    for (const ConfigPage& page : ConfigPages()) {
        for (uint8_t code : page.codes) {
            sheets.insert({false, code});
        }
    }
    std::set<std::pair<bool, int>> listed;
    for (const SheetWithoutPart& s : kSheetsWithoutPart) {
        listed.insert({s.pic, s.code});
        EXPECT_TRUE(sheets.contains({s.pic, s.code})) << "no sheet " << s.code;
        EXPECT_FALSE(used.contains({s.pic, s.code}))
            << "sheet " << s.code << " has a part now; it was without one because: " << s.why;
    }
    for (const auto& sheet : sheets) {
        EXPECT_TRUE(used.contains(sheet) || listed.contains(sheet))
            << (sheet.first ? "PIC sheet " : "sheet ") << sheet.second
            << " has no part and no reason in the list";
    }
}

// The bytes of a record but its name: what tells one part from another.
DeviceRecord::Bytes Unnamed(DeviceRecord r) {
    r.SetText(field::Name, "");
    return r.bytes();
}

// The chip identity check tells ISP parts apart by their three signature bytes, and the
// configuration sheets and factory fuses find per-part rules by them: two ISP records
// share them only as names of one part, records alike in everything but the name.
// Manufacturer names are the first list of the selection dialog and must not repeat.
TEST(ShippedDatabase, SignaturesAndNamesTellPartsApart) {
    std::map<std::tuple<int, int, int>, std::pair<std::string, DeviceRecord::Bytes>> signatures;
    for (const std::string file : {"KARDO_e.usb", "KARDO_m.usb"}) {
        const auto manufacturers = DeviceDatabase::ListManufacturers(kDataDir / file);
        ASSERT_TRUE(manufacturers.has_value());
        std::set<std::string> seen;
        for (const auto& m : *manufacturers) {
            EXPECT_TRUE(seen.insert(m).second) << m << " twice in " << file;
        }
        for (const auto& [manufacturer, r] : AllRecords(file)) {
            if (r.Family() != 'M') {
                continue;
            }
            const auto key = std::tuple{int{r.ManufId()}, int{r.DeviceId()}, int{r.DeviceId2()}};
            const auto [it, fresh] = signatures.emplace(key, std::pair{r.Name(), Unnamed(r)});
            EXPECT_TRUE(fresh || it->second.second == Unnamed(r))
                << r.Name() << " has the signature of " << it->second.first
                << " but is not the same part under another name";
        }
    }
}

TEST(ShippedDatabase, DumpOfEachFileBuildsBackToTheSameBytes) {
    test::TempDir dir;
    for (const std::string file : {"KARDO_e.usb", "KARDO_m.usb"}) {
        EXPECT_EQ(DeviceDatabase::FileProblem(kDataDir / file), "") << file;
        const auto source = dir / (file + ".toml");
        const auto rebuilt = dir / file;
        const std::string tool = kardo::test::DatabaseTool();
        ASSERT_EQ(
            std::system(
                (tool + " dump " + (kDataDir / file).string() + " > " + source.string()).c_str()),
            0);
        ASSERT_EQ(
            std::system((tool + " build " + source.string() + " " + rebuilt.string()).c_str()), 0);
        EXPECT_EQ(test::ReadBytes(rebuilt), test::ReadBytes(kDataDir / file)) << file;
    }
}

}  // namespace
}  // namespace kardo
