// SPDX-License-Identifier: GPL-3.0-or-later
// The ELF reader on files avr-gcc and objcopy linked (see data/make-elf-data.sh): each
// memory must hold what the toolchain's own hex files and section dumps say, and
// damaged or foreign files must give an error instead of an image.
#include "cli/ElfImage.h"

#include <gtest/gtest.h>

#include <fstream>

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

// The text the loader is given, read back by the loader itself.
struct Loaded {
    DeviceBuffer buffer;
    test::RecordingFileHost host;
    uint8_t result = 0;
    Loaded(const std::string& text, int32_t lastAddress) {
        const DeviceRecord record = test::MakeRecord('E', lastAddress);
        FileSettings settings;
        settings.format = format::IntelHex;
        settings.fill = fill::FF;
        result = LoadFileBytes(Bytes(text.begin(), text.end()), {"elf.hex", record, settings},
                               buffer, host);
    }
    Bytes At(std::size_t from, std::size_t n) const {
        return Bytes(buffer.data() + from, buffer.data() + from + n);
    }
};

TEST(ElfImage, AsIntelHexTheLoaderFindsCodeAndEepromWhereTheyBelong) {
    const ElfImage image = Read(AvrFuses());
    const Bytes flash = test::ReadBytes(kData / "avr-fuses-flash.expect.bin");
    const Bytes eeprom = test::ReadBytes(kData / "avr-fuses-eeprom.expect.bin");
    const Loaded l(ElfImageAsIntelHex(image, 0x8000), 0x83FF);
    EXPECT_EQ(l.result, load::Ok);
    ASSERT_GE(l.buffer.BufferSize(), 0x8400u);
    EXPECT_EQ(l.At(0, flash.size()), flash);
    EXPECT_EQ(l.At(flash.size(), 0x8000 - flash.size()), Bytes(0x8000 - flash.size(), 0xFF));
    EXPECT_EQ(l.At(0x8000, eeprom.size()), eeprom);
}

TEST(ElfImage, AsIntelHexRecordsStopAt16BytesAndAt64KiBBoundaries) {
    ElfImage image;
    const Bytes code = test::PatternBytes(40, 7), eeprom = test::PatternBytes(3, 9);
    image.code = {{0xFFF0, code}};
    image.eeprom = {{0x10, eeprom}};
    const std::string text = ElfImageAsIntelHex(image, 0x20000);
    EXPECT_TRUE(text.starts_with(":10FFF000"));
    EXPECT_NE(text.find("\r\n:020000040001F9\r\n:10000000"), std::string::npos);
    EXPECT_NE(text.find("\r\n:020000040002F8\r\n:03001000"), std::string::npos);
    EXPECT_TRUE(text.ends_with("\r\n:00000001FF\r\n"));
    for (std::size_t at = 0; at < text.size(); at = text.find(':', at + 1))
        EXPECT_LE(std::stoul(text.substr(at + 1, 2), nullptr, 16), 16u) << text.substr(at, 12);
    const Loaded l(text, 0x2FFFF);
    EXPECT_EQ(l.result, load::Ok);
    EXPECT_EQ(l.At(0xFFF0, code.size()), code);
    EXPECT_EQ(l.At(0x20010, eeprom.size()), eeprom);
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
