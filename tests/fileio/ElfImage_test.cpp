// SPDX-License-Identifier: GPL-3.0-or-later
// The ELF reader and the load of its images, on files avr-gcc and objcopy linked (see
// tests/cli/data/make-elf-data.sh): each memory must hold what the toolchain's own hex
// files and section dumps say, and damaged or foreign files must give an error instead
// of an image.
#include "fileio/ElfImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "fileio/ElfLoad.h"
#include "fileio/FileLoader.h"
#include "support/DataFiles.h"
#include "support/RecordingFileHost.h"
#include "support/Records.h"
#include "support/TempDir.h"
#include "support/TestPaths.h"

namespace kardo {
namespace {

const std::filesystem::path kData = kardo::test::SourceDir() / "tests/cli/data";
const std::filesystem::path kLoaderData = kardo::test::SourceDir() / "tests/fileio/data";

using Bytes = std::vector<uint8_t>;

// The chunks as one image from 0, 0xFF where they leave a hole, as srec_cat fills.
Bytes Flatten(const std::vector<ElfImage::Chunk>& chunks, std::size_t size) {
    Bytes image(size, 0xFF);
    for (const auto& c : chunks) {
        EXPECT_LE(c.address + c.bytes.size(), size) << "a chunk at " << c.address;
        for (std::size_t i = 0; i < c.bytes.size() && c.address + i < size; ++i)
            image[c.address + i] = c.bytes[i];
    }
    return image;
}

ElfImage Read(const Bytes& bytes) {
    ElfReadResult r = ReadElfImage(bytes);
    EXPECT_TRUE(r.image) << r.error;
    return r.image.value_or(ElfImage{});
}

std::string ErrorOf(const Bytes& bytes) {
    const ElfReadResult r = ReadElfImage(bytes);
    EXPECT_FALSE(r.image);
    EXPECT_FALSE(r.error.empty());
    return r.error;
}

// The ELF files here are 32-bit little-endian: a field of the header or of program
// header `segment` (-1: the file header) rewritten in a copy.
Bytes Patched(Bytes bytes, int segment, std::size_t field, uint32_t value, int width = 4) {
    std::size_t at = field;
    if (segment >= 0)
        at += (bytes[28] | bytes[29] << 8) + static_cast<std::size_t>(segment) * 32;
    for (int i = 0; i < width; ++i)
        bytes.at(at + static_cast<std::size_t>(i)) = static_cast<uint8_t>(value >> (8 * i));
    return bytes;
}
constexpr std::size_t kType = 16, kMachine = 18, kPhoff = 28, kPhentsize = 42;
constexpr std::size_t kOffset = 4, kPaddr = 12, kFilesz = 16;
// The segments of avr-fuses.elf: .text, .data, .eeprom, .fuse, .lock, .signature.
constexpr int kDataSegment = 1, kEepromSegment = 2, kFuseSegment = 3, kLockSegment = 4;

const Bytes& AvrFuses() {
    static const Bytes bytes = test::ReadBytes(kData / "avr-fuses.elf");
    return bytes;
}

TEST(ElfImage, AvrProgramGivesTheToolchainsFlashEepromFusesAndLock) {
    const ElfImage image = Read(AvrFuses());
    EXPECT_EQ(image.machine, ElfImage::Machine::Avr);
    const Bytes flash = test::ReadBytes(kData / "avr-fuses-flash.expect.bin");
    const Bytes eeprom = test::ReadBytes(kData / "avr-fuses-eeprom.expect.bin");
    // .data is loaded right after .text, so the code is one run, and the signature
    // at 0x840000 is no part of it.
    ASSERT_EQ(image.code.size(), 1u);
    EXPECT_EQ(Flatten(image.code, flash.size()), flash);
    EXPECT_EQ(Flatten(image.eeprom, eeprom.size()), eeprom);
    Bytes fuses;
    std::optional<uint8_t> lock;
    std::ifstream listed(kData / "avr-fuses.fuses.txt");
    for (std::string kind, a, b; listed >> kind >> a;) {
        if (kind == "fuse" && listed >> b)
            fuses.push_back(static_cast<uint8_t>(std::stoul(b, nullptr, 16)));
        else
            lock = static_cast<uint8_t>(std::stoul(a, nullptr, 16));
    }
    ASSERT_EQ(fuses.size(), 3u);
    EXPECT_EQ(image.fuses, fuses);
    EXPECT_EQ(image.lock, lock);
}

// The chaser built as for the loader tests, and sdcc's 8051 program as sections without
// program headers: the same bytes as the hex files the toolchains wrote.
TEST(ElfImage, ExecutablesGiveTheBytesOfTheirToolchainsHexFiles) {
    const struct {
        const char* elf;
        const char* expect;
        ElfImage::Machine machine;
    } files[] = {{"atmega8-chaser.elf", "atmega8-ihex.expect.bin", ElfImage::Machine::Avr},
                 {"mcs51-sections.elf", "mcs51.expect.bin", ElfImage::Machine::Mcs51}};
    for (const auto& f : files) {
        const ElfImage image = Read(test::ReadBytes(kData / f.elf));
        const Bytes expected = test::ReadBytes(kLoaderData / f.expect);
        EXPECT_EQ(image.machine, f.machine) << f.elf;
        EXPECT_EQ(Flatten(image.code, expected.size()), expected) << f.elf;
        EXPECT_TRUE(image.eeprom.empty() && image.fuses.empty() && !image.lock) << f.elf;
    }
}

TEST(ElfImage, An8051TakesEveryLoadedByteAsCode) {
    const ElfImage image = Read(Patched(AvrFuses(), -1, kMachine, 165, 2));
    EXPECT_EQ(image.machine, ElfImage::Machine::Mcs51);
    EXPECT_TRUE(image.eeprom.empty() && image.fuses.empty() && !image.lock);
    std::vector<uint64_t> starts;
    for (const auto& c : image.code)
        starts.push_back(c.address);
    EXPECT_EQ(starts, (std::vector<uint64_t>{0, 0x810000, 0x820000, 0x830000, 0x840000}));
}

TEST(ElfImage, FilesThatAreNoAvrOr8051ProgramGiveErrors) {
    const Bytes& avr = AvrFuses();
    EXPECT_EQ(ErrorOf(test::ReadBytes(kData / "x86-64-object.o")),
              "the ELF file is for machine 62 (x86-64), not for an AVR or 8051 microcontroller");
    EXPECT_EQ(ErrorOf(Patched(avr, -1, kMachine, 999, 2)),
              "the ELF file is for machine 999, not for an AVR or 8051 microcontroller");
    EXPECT_NE(ErrorOf(Patched(avr, -1, kType, 1, 2)).find("relocatable object"), std::string::npos);
    EXPECT_EQ(ErrorOf({}), "the file is empty");
    EXPECT_NE(ErrorOf(test::ReadBytes(kLoaderData / "mcs51.ihx")).find("not an ELF file"),
              std::string::npos);
    // Cut anywhere, from inside the identification to the last byte of the section
    // header table that comes last in the file.
    for (std::size_t size : {4ul, 10ul, 30ul, 52ul, 60ul, 0x100ul, 0x230ul, avr.size() - 1}) {
        const Bytes cut(avr.begin(), avr.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_FALSE(ReadElfImage(cut).image) << size;
    }
}

TEST(ElfImage, HeadersPointingOutsideTheFileGiveErrors) {
    const Bytes& avr = AvrFuses();
    const auto size = static_cast<uint32_t>(avr.size());
    const Bytes cases[] = {
        Patched(avr, kEepromSegment, kOffset, size - 4),       // runs past the end
        Patched(avr, kEepromSegment, kOffset, size + 0x1000),  // starts past it
        Patched(avr, kEepromSegment, kFilesz, 0xFFFFFFFF),     // as long as 32 bits go
        Patched(avr, kEepromSegment, kOffset, 0xFFFFFFF0),     // offset + size beyond 32 bits
        Patched(avr, -1, kPhoff, size - 40),                   // the table itself
        Patched(avr, -1, kPhentsize, 16, 2),                   // entries of a wrong size
    };
    for (const auto& bytes : cases) {
        const std::string error = ErrorOf(bytes);
        EXPECT_NE(error.find("the ELF file"), std::string::npos) << error;
    }
}

TEST(ElfImage, AvrBytesOutsideTheMemoriesThatCanBeProgrammedAreErrors) {
    const Bytes& avr = AvrFuses();
    const struct {
        Bytes bytes;
        const char* error;
    } cases[] = {
        {Patched(avr, kDataSegment, kPaddr, 0x800100), "into the AVR's RAM at 0x800100"},
        {Patched(avr, kDataSegment, kPaddr, 0x900000), "at 0x900000, in no AVR memory"},
        {Patched(avr, kDataSegment, kPaddr, 0x7FFFFC), "running out of the AVR's program memory"},
        {Patched(avr, kDataSegment, kPaddr, 0x100), "loads program memory address 0x100 twice"},
        {Patched(avr, kFuseSegment, kPaddr, 0x820001), "fuse bytes do not run from 0x820000"},
        {Patched(avr, kLockSegment, kFilesz, 2), "lock bits are not one byte"},
    };
    for (const auto& c : cases) {
        const std::string error = ErrorOf(c.bytes);
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
    }
}

// An ATmega328P as the database has it: 32 KiB of code, 1 KiB of data EEPROM after it.
DeviceRecord Atmega328p() {
    DeviceRecord r = test::MakeRecord('M', 0x7FFF, 32, "ATmega328P");
    r.SetU8(field::ConfigCode, 0xD2);
    r.SetU16(field::EepromSize, 1024);
    r.SetU8(field::BlankValue, 0xFF);
    return r;
}

// A program loaded as the window and kardo-cli load it.
struct Loaded {
    DeviceBuffer buffer;
    test::RecordingFileHost host;
    ConfigBits bits;
    ElfLoadOutcome outcome;
    Loaded(const Bytes& elf, const DeviceRecord& record, int64_t offset = 0) {
        FileSettings settings;
        settings.fill = fill::FF;
        settings.offset = offset;
        outcome = LoadElfBytes(elf, {"prog.elf", record, settings}, buffer, bits, host);
    }
    Bytes At(std::size_t from, std::size_t n) const {
        return Bytes(buffer.data() + from, buffer.data() + from + n);
    }
    bool Logged(const std::string& line) const {
        return std::find(host.lines.begin(), host.lines.end(), line) != host.lines.end();
    }
};

TEST(ElfLoad, CodeEepromAndFusesLandWhereTheyBelongAndTheLogSaysWhat) {
    const Bytes flash = test::ReadBytes(kData / "avr-fuses-flash.expect.bin");
    const Bytes eeprom = test::ReadBytes(kData / "avr-fuses-eeprom.expect.bin");
    const Loaded l(AvrFuses(), Atmega328p());
    ASSERT_TRUE(l.outcome.error.empty()) << l.outcome.error;
    EXPECT_EQ(l.outcome.result, load::Ok);
    EXPECT_TRUE(l.outcome.fusesFromFile && l.outcome.eepromFromFile);
    EXPECT_EQ(l.At(0, flash.size()), flash);
    EXPECT_EQ(l.At(flash.size(), 0x8000 - flash.size()), Bytes(0x8000 - flash.size(), 0xFF));
    EXPECT_EQ(l.At(0x8000, eeprom.size()), eeprom);
    EXPECT_EQ(l.bits.LockBits, Read(AvrFuses()).lock);
    EXPECT_TRUE(l.Logged(" File prog.elf Loaded"));
    EXPECT_TRUE(l.Logged(" ELF section .eeprom : 10 bytes"));
    EXPECT_TRUE(l.Logged(" ELF section .fuse : 3 bytes"));
    EXPECT_TRUE(l.Logged(" The .eeprom section is not programmed: no step writes the data EEPROM"));
    // A parallel EEPROM has no such note: its buffer is all programmed.
    EXPECT_FALSE(Loaded(AvrFuses(), test::MakeRecord('E', 0x83FF))
                     .Logged(" The .eeprom section is not programmed: no step writes the data "
                             "EEPROM"));
}

// Chunks keep their addresses, moved by the offset as any file's records are; the data
// EEPROM follows the device's code, and what falls outside the buffer stops the load.
TEST(ElfLoad, ChunksKeepTheirAddressesMovedByTheOffset) {
    ElfImage image;
    const Bytes code = test::PatternBytes(40, 7), eeprom = test::PatternBytes(3, 9);
    image.code = {{0xFFF0, code}};  // across a 64 KiB boundary
    image.eeprom = {{0x10, eeprom}};
    const DeviceRecord record = test::MakeRecord('E', 0x2FFFF);
    for (const int64_t offset : {int64_t{0}, int64_t{0x100}, int64_t{-0x10}}) {
        DeviceBuffer buffer;
        test::RecordingFileHost host;
        FileSettings settings;
        settings.offset = offset;
        ASSERT_EQ(LoadElfImage(image, {"x.elf", record, settings}, buffer, host), load::Ok);
        const auto at = [&](int64_t p, std::size_t n) {
            return Bytes(buffer.data() + p, buffer.data() + p + static_cast<int64_t>(n));
        };
        EXPECT_EQ(at(0xFFF0 + offset, code.size()), code) << offset;
        EXPECT_EQ(at(0x30010 + offset, eeprom.size()), eeprom) << offset;
    }
    image.code.push_back({0x7FFFF0, code});
    DeviceBuffer buffer;
    test::RecordingFileHost host;
    EXPECT_EQ(LoadElfImage(image, {"x.elf", record, FileSettings{}}, buffer, host),
              load::OutsideBuffer);
    EXPECT_EQ(host.lines.back(), " File doesn't fit in allocated buffer");
    EXPECT_EQ(host.failureSounds, 1);
}

// The window knows an ELF file by its first bytes, whatever its name and the format
// chosen: avr-gcc's program gives the buffer its Intel HEX gives.
TEST(ElfLoad, TheWindowLoadsAnElfFileWhateverItsNameAndFormat) {
    test::TempDir dir;
    const auto named = dir.path() / "chaser.hex";
    std::filesystem::copy_file(kData / "atmega8-chaser.elf", named);
    DeviceRecord record = test::MakeRecord('M', 0x1FFF, 32, "ATmega8");
    record.SetU8(field::BlankValue, 0xFF);
    FileSettings settings;
    settings.format = format::Motorola;
    ConfigBits bits;
    DeviceBuffer fromElf, fromHex;
    test::RecordingFileHost host;
    EXPECT_EQ(LoadFileOrElf({named, record, settings}, fromElf, bits, host), load::Ok);
    settings.format = format::IntelHex;
    EXPECT_EQ(LoadFile({kLoaderData / "atmega8-ihex.hex", record, settings}, fromHex, host),
              load::Ok);
    ASSERT_EQ(fromElf.BufferSize(), fromHex.BufferSize());
    EXPECT_TRUE(std::equal(fromElf.data(), fromElf.data() + fromElf.BufferSize(), fromHex.data()));
    EXPECT_EQ(fromElf.HighestWritten, fromHex.HighestWritten);

    // A foreign program is refused with its reason, and the buffer is left alone.
    const auto foreign = dir.path() / "foreign.hex";
    std::filesystem::copy_file(kData / "x86-64-object.o", foreign);
    fromElf.data()[0] = 0x5A;
    EXPECT_NE(LoadFileOrElf({foreign, record, settings}, fromElf, bits, host), load::Ok);
    EXPECT_NE(host.lines.back().find("not for an AVR or 8051"), std::string::npos);
    EXPECT_EQ(host.failureSounds, 1);
    EXPECT_EQ(fromElf.data()[0], 0x5A);
}

TEST(ElfLoad, SectionNamesComeFromTheFileOrAreUnknown) {
    const ElfImage avr = Read(AvrFuses());
    std::vector<std::string> names;
    for (const auto& s : avr.sections)
        names.push_back(s.name);
    EXPECT_EQ(names, (std::vector<std::string>{".data", ".text", ".eeprom", ".fuse", ".lock",
                                               ".signature"}));
    // A section name table pointing past the file still loads, its names unknown.
    Bytes lying = AvrFuses();
    const std::size_t shoff = lying[32] | lying[33] << 8 | lying[34] << 16 | lying[35] << 24;
    const std::size_t strndx = lying[50] | lying[51] << 8;
    lying = Patched(lying, -1, shoff + strndx * 40 + 16, 0x7FFFFFF0);  // its sh_offset
    const ElfImage unnamed = Read(lying);
    ASSERT_EQ(unnamed.sections.size(), names.size());
    EXPECT_EQ(unnamed.sections[0].name, "?");
}

TEST(ElfImage, FusesAndLockGoOverOnlyTheBitsTheFileCarries) {
    ConfigBits bits;
    bits.FuseLow = bits.FuseHigh = bits.FuseExt = bits.LockBits = 0x5A;
    ElfImage image;
    image.fuses = {0xE2};
    ApplyElfFuses(image, bits);
    EXPECT_EQ(bits.FuseLow, 0xE2);
    EXPECT_EQ(bits.FuseHigh, 0x5A);
    EXPECT_EQ(bits.LockBits, 0x5A);
    const ElfImage avr = Read(AvrFuses());
    ASSERT_EQ(avr.fuses.size(), 3u);
    ApplyElfFuses(avr, bits);
    EXPECT_EQ((Bytes{bits.FuseLow, bits.FuseHigh, bits.FuseExt}), avr.fuses);
    EXPECT_EQ(bits.LockBits, avr.lock);
}

}  // namespace
}  // namespace kardo
