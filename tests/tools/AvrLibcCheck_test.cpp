// SPDX-License-Identifier: GPL-3.0-or-later
// The AVR records against avr-libc, read through the AVR compiler: the shipped file
// agrees, and a value changed by one on either side is reported. Needs gcc-avr and
// avr-libc (./scripts/install-deps gcc-avr avr-libc); without them these tests fail.
#include "AvrLibcCheck.h"

#include <gtest/gtest.h>

#include <toml++/toml.h>
#include <cstdlib>
#include <functional>
#include <sstream>
#include <stdexcept>

#include "DatabaseSource.h"
#include "SourceParts.h"
#include "support/TempDir.h"
#include "support/TestPaths.h"

namespace kardo {
namespace {

using namespace dbsource;

std::vector<uint8_t> Shipped() {
    return test::ReadBytes(test::BuiltDataDir() / "KARDO_m.usb");
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\n";
    }
    return text;
}

TEST(AvrLibcCheck, EveryShippedAvrAgreesWithAvrLibc) {
    const AvrCheckReport report = CheckAvrRecords(Shipped());
    EXPECT_EQ(Joined(report.problems), "");
    EXPECT_GE(report.checked, 28);
}

// The shipped ATmega8's device table, as the dump gives it.
toml::table ShippedAtmega8() {
    const toml::table shipped = toml::parse(Dump(Shipped()));
    for (const auto& maker : *shipped["manufacturer"].as_array()) {
        for (const auto& d : *maker.as_table()->get("device")->as_array()) {
            if ((*d.as_table())["Name"].value_or(std::string()) == "ATmega8") {
                return *d.as_table();
            }
        }
    }
    ADD_FAILURE() << "no ATmega8 shipped";
    return {};
}

// A database of one device: the shipped ATmega8 after `edit`.
std::vector<uint8_t> OneAtmega8(const std::function<void(toml::table&)>& edit) {
    toml::table device = ShippedAtmega8();
    edit(device);
    toml::table source{{"header", "KARDO DEVICES"}};
    source.insert("manufacturer",
                  toml::array{toml::table{{"name", "ATMEL"}, {"device", toml::array{device}}}});
    std::ostringstream text;
    text << source;
    return Build(text.str());
}

TEST(AvrLibcCheck, ARecordValueChangedByOneIsReported) {
    EXPECT_EQ(Joined(CheckAvrRecords(OneAtmega8([](toml::table&) {})).problems), "");
    const struct {
        const char* key;
        const char* reported;
    } edits[] = {
        {"ManufId", "ManufId 0x1F, avr-libc SIGNATURE_0 0x1E"},
        {"DeviceId", "DeviceId 0x94, avr-libc SIGNATURE_1 0x93"},
        {"DeviceId2", "DeviceId2 0x08, avr-libc SIGNATURE_2 0x07"},
        {"LastAddress", "LastAddress 0x2000, avr-libc FLASHEND 0x1FFF"},
        {"EepromSize", "EepromSize - 1 0x200, avr-libc E2END 0x1FF"},
        // Sheet 205: its bits are not the ATmega8's.
        {"ConfigCode", "the sheet shows CKOUT at low fuse bit 6, avr-libc FUSE_BODEN"},
    };
    for (const auto& e : edits) {
        const auto report = CheckAvrRecords(OneAtmega8(
            [&](toml::table& d) { d.insert_or_assign(e.key, *d[e.key].value<int64_t>() + 1); }));
        EXPECT_NE(Joined(report.problems).find(std::string("ATmega8: ") + e.reported),
                  std::string::npos)
            << e.key << " gave:\n"
            << Joined(report.problems);
    }
}

// The other side: avr-libc's data for the ATmega8 changed by one, against the shipped
// record, its factory fuses and its sheet.
TEST(AvrLibcCheck, AnAvrLibcValueChangedByOneIsReported) {
    std::string error;
    const AvrLibcPart atmega8 = ReadAvrLibc("ATmega8", error);
    ASSERT_EQ(error, "");
    const DeviceRecord record = RecordFrom(ShippedAtmega8(), "ATmega8");
    ASSERT_EQ(Joined(CompareWithAvrLibc(record, atmega8)), "");
    const auto bitNamed = [](AvrLibcPart& p, const std::string& name) -> AvrFuseBit& {
        for (AvrFuseBit& b : p.fuseBits) {
            if (b.name == name) {
                return b;
            }
        }
        throw std::runtime_error(name);
    };
    const struct {
        std::function<void(AvrLibcPart&)> edit;
        const char* reported;
    } edits[] = {
        {[](AvrLibcPart& p) { *p.fuseDefault[0] += 1; },
         "factory low fuse 0xE1, avr-libc LFUSE_DEFAULT 0xE2"},
        {[](AvrLibcPart& p) { *p.fuseDefault[1] += 1; },
         "factory high fuse 0xD9, avr-libc HFUSE_DEFAULT 0xDA"},
        {[](AvrLibcPart& p) { p.fuseDefault[2] = 0xFE; },
         "factory extended fuse 0xFF, avr-libc EFUSE_DEFAULT 0xFE"},
        {[&](AvrLibcPart& p) { bitNamed(p, "WDTON").name = "WDTON1"; },
         "the sheet shows WDTON at high fuse bit 6, avr-libc FUSE_WDTON1"},
        {[&](AvrLibcPart& p) { bitNamed(p, "CKOPT").bit += 1; },
         "the sheet shows CKOPT at high fuse bit 4, where avr-libc has no fuse bit"},
        {[](AvrLibcPart& p) {
             p.fuseBits.push_back({"SELFPRGEN", 2, 0});
         },
         "avr-libc FUSE_SELFPRGEN (extended fuse bit 0) has no control on the sheet"},
        {[](AvrLibcPart& p) { *p.pageSize = 256; },
         "SPM_PAGESIZE 256 does not divide the 128-byte program block"},
    };
    for (const auto& e : edits) {
        AvrLibcPart changed = atmega8;
        e.edit(changed);
        const std::string problems = Joined(CompareWithAvrLibc(record, changed));
        EXPECT_NE(problems.find(e.reported), std::string::npos) << e.reported << " missing from:\n"
                                                                << problems;
    }
}

// How the definitions are read: each fuse byte's bits precede its default, values are
// C expressions over other macros, and the newer headers' SUT_CKSEL field is CKSEL and
// SUT. A bit whose byte cannot be told is an error, not a guess.
TEST(AvrLibcCheck, DefinitionsGiveEachBitItsByte) {
    std::string error;
    const AvrLibcPart part = ParseAvrDefinitions(R"(#define _BV(bit) (1 << (bit))
#define SIGNATURE_0 0x1E
#define SIGNATURE_1 0x90
#define SIGNATURE_2 0x07
#define FLASHEND (1024 - 1)
#define E2END 0x00FFU
#define FUSE_MEMORY_SIZE 2
#define FUSE_SUT_CKSEL4 (unsigned char)~_BV(4)
#define FUSE_CKDIV8 (unsigned char)~_BV(7)
#define LFUSE_DEFAULT (FUSE_SUT_CKSEL4 & FUSE_CKDIV8)
#define FUSE_SPIEN (unsigned char)~_BV(5)
#define HFUSE_DEFAULT (0xFF)
#define FUSES __fuse_t __fuse FUSEMEM
)",
                                                 error);
    EXPECT_EQ(error, "");
    EXPECT_EQ(part.flashEnd, 1023);
    EXPECT_EQ(part.eepromEnd, 0xFF);
    EXPECT_EQ(part.fuseDefault[0], 0x6F);
    EXPECT_EQ(part.fuseDefault[1], 0xFF);
    EXPECT_FALSE(part.fuseDefault[2].has_value());
    ASSERT_EQ(part.fuseBits.size(), 3u);
    EXPECT_EQ(part.fuseBits[0].name, "SUT_CKSEL4");
    EXPECT_EQ(part.fuseBits[2].byte, 1);
    EXPECT_EQ(part.fuseBits[2].bit, 5);

    ParseAvrDefinitions("#define SIGNATURE_0 0x1E\n#define FUSE_FSTRT (unsigned char)~(1)\n",
                        error);
    EXPECT_NE(error.find("FUSE_FSTRT comes after the last fuse default"), std::string::npos);
    ParseAvrDefinitions("#define SIGNATURE_0 (0x1E\n", error);
    EXPECT_NE(error.find("unbalanced"), std::string::npos);
    ParseAvrDefinitions("#define SIGNATURE_0 SIGNATURE_0\n", error);
    EXPECT_NE(error.find("refers to itself"), std::string::npos);
}

// Without the compiler the check fails for every AVR; it never passes having read nothing.
TEST(AvrLibcCheck, AMissingCompilerFailsTheCheck) {
    const char* before = std::getenv("KARDO_AVR_GCC");
    const std::string saved = before != nullptr ? before : "";
    setenv("KARDO_AVR_GCC", "/nonexistent/avr-gcc", 1);
    const AvrCheckReport report = CheckAvrRecords(Shipped());
    before != nullptr ? setenv("KARDO_AVR_GCC", saved.c_str(), 1) : unsetenv("KARDO_AVR_GCC");
    EXPECT_EQ(report.checked, 0);
    ASSERT_FALSE(report.problems.empty());
    EXPECT_NE(report.problems.front().find("does not run"), std::string::npos);
}

}  // namespace
}  // namespace kardo
