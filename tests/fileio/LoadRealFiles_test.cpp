// SPDX-License-Identifier: GPL-3.0-or-later
// The loader on files made by tools nobody here wrote (see data/make-test-data.sh):
// srec_cat, avr-gcc with avr-objcopy, sdcc and gpasm. Byte-organised files are checked
// against srec_cat's own reading of them; PIC files against the placements gpasm's
// listing states, mapped to the buffer positions the program keeps PIC areas at.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "GpasmFiles.h"
#include "fileio/FileLoader.h"
#include "fileio/HexRecords.h"
#include "support/RecordingFileHost.h"
#include "support/Records.h"
#include "support/ShippedRecords.h"
#include "support/TempDir.h"

namespace kardo {
namespace {

const std::filesystem::path& kData = test::kLoaderData;

struct Loaded {
    DeviceBuffer buffer;
    test::RecordingFileHost host;
    uint8_t result = 0;
};

Loaded Load(const std::string& file, const DeviceRecord& record, uint8_t fileFormat,
            uint8_t fillOption) {
    Loaded l;
    FileSettings settings;
    settings.format = fileFormat;
    settings.fill = fillOption;
    l.result = LoadFile({kData / file, record, settings}, l.buffer, l.host);
    return l;
}

std::vector<std::string> Success(const std::string& file, const std::string& highest,
                                 const std::string& lowest) {
    return {"", " File " + (kData / file).string() + " Loaded",
            " Highest Load Address : " + highest, " Lowest Load Address  : " + lowest};
}

// Every byte-organised file, into a device that has room for it, filled with 0xFF as
// srec_cat filled its reading.
TEST(LoadRealFiles, ByteOrganisedFilesGiveSrecCatsImage) {
    std::ifstream manifest(kData / "expect.txt");
    ASSERT_TRUE(manifest);
    int files = 0;
    for (std::string file, kind, size; manifest >> file >> kind >> size; ++files) {
        const auto n = static_cast<std::size_t>(std::stoul(size, nullptr, 16));
        DeviceRecord record = test::MakeRecord('E', static_cast<int32_t>(n - 1));
        if (file.starts_with("avr-") && file != "avr-eeprom.hex")
            record = test::ShippedRecord("ATmega328P");
        if (file.starts_with("atmega8-"))
            record = test::ShippedRecord("ATmega8");
        if (file.starts_with("mcs51"))
            record = test::ShippedRecord("AT89S52");
        const Loaded l =
            Load(file, record, kind == "ihex" ? format::IntelHex : format::Motorola, fill::FF);
        const std::string stem = file.substr(0, file.rfind('.'));
        const auto expected = test::ReadBytes(kData / (stem + ".expect.bin"));
        ASSERT_EQ(expected.size(), n) << file;
        ASSERT_GE(l.buffer.BufferSize(), n) << file;
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), l.buffer.data())) << file;
        // Those of srec_cat's S-record files that have no termination record are
        // complete all the same.
        EXPECT_EQ(l.result, load::Ok) << file;
        ASSERT_EQ(l.host.lines.size(), 4u) << file;  // no warnings: each fits its device
        EXPECT_EQ(l.host.failureSounds, 0);
        EXPECT_TRUE(l.host.messages.empty());
        EXPECT_EQ(l.host.closed, 1);
    }
    EXPECT_EQ(files, 16);
}

TEST(LoadRealFiles, HighestAndLowestLoadAddressesOfFilesWithHoles) {
    const Loaded holes =
        Load("ihex-holes.hex", test::MakeRecord('E', 0x7FFF), format::IntelHex, fill::FF);
    EXPECT_EQ(holes.host.lines, Success("ihex-holes.hex", "7FFF", "0"));
    // S2 records from 0xF000 to 0x10FFF, into a part of 0x11000 bytes.
    const Loaded s2 =
        Load("srec-s2.s28", test::MakeRecord('E', 0x10FFF), format::Motorola, fill::FF);
    EXPECT_EQ(s2.host.lines, Success("srec-s2.s28", "10FFF", "F000"));
}

// gpasm's placements, one item per line: "<area> <address> <value>".
struct Placement {
    std::string area;
    uint32_t address;
    uint32_t value;
};

std::vector<Placement> Placements(const std::string& expectFile) {
    std::ifstream in(kData / expectFile);
    std::vector<Placement> items;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        std::string area, address, value;
        fields >> area >> address >> value;
        items.push_back({area, static_cast<uint32_t>(std::stoul(address, nullptr, 16)),
                         static_cast<uint32_t>(std::stoul(value, nullptr, 16))});
    }
    return items;
}

// 12- and 14-bit parts: words high byte first at twice their address; ID words from the
// ID buffer position on; the configuration word at 0x400E; data EEPROM bytes as the low
// byte of one word each from 0x4200 on.
void ExpectMidRangePlacements(const DeviceBuffer& buffer, const std::vector<Placement>& items) {
    uint32_t firstId = UINT32_MAX, firstEeprom = UINT32_MAX;
    for (const auto& p : items) {
        if (p.area == "id")
            firstId = std::min(firstId, p.address);
        if (p.area == "eeprom")
            firstEeprom = std::min(firstEeprom, p.address);
    }
    for (const auto& p : items) {
        std::size_t at = 2 * p.address;
        if (p.area == "id")
            at = 0x4000 + 2 * (p.address - firstId);
        if (p.area == "config")
            at = 0x400E;
        if (p.area == "eeprom")
            at = 0x4200 + 2 * (p.address - firstEeprom);
        const uint32_t got = buffer[at] << 8 | buffer[at + 1];
        EXPECT_EQ(got, p.value) << p.area << " 0x" << std::hex << p.address;
    }
}

TEST(LoadRealFiles, MidRangePicFilesFromGpasm) {
    for (const auto& c : test::kGpasmFiles) {
        if (c.pic18)
            continue;  // the next test
        const Loaded l =
            Load(c.file, test::ShippedRecord(c.part), c.fileFormat, fill::DeviceDefault);
        EXPECT_EQ(l.result, load::Ok) << c.file;
        // Every area is in the file: no warnings, and no load addresses for a PIC.
        EXPECT_EQ(l.host.lines,
                  (std::vector<std::string>{"", " File " + (kData / c.file).string() + " Loaded"}))
            << c.file;
        const std::string stem = std::string(c.file).substr(0, std::string(c.file).rfind('.'));
        const auto items = Placements(stem + ".expect");
        ASSERT_GT(items.size(), 30u) << c.file;
        ExpectMidRangePlacements(l.buffer, items);
    }
}

// PIC18: code bytes exchanged into high-byte-first words; ID and configuration bytes
// the same way at 0xF0000 and 0xF0010; EEPROM bytes one per position from 0xF0200 on.
TEST(LoadRealFiles, Pic18FileFromGpasm) {
    const Loaded l = Load("pic18f452-inhx32.hex", test::ShippedRecord("PIC18F452"), format::Inh8m,
                          fill::DeviceDefault);
    EXPECT_EQ(l.result, load::Ok);
    EXPECT_EQ(l.host.lines.size(), 2u);
    const auto items = Placements("pic18f452-inhx32.expect");
    ASSERT_GT(items.size(), 100u);
    for (const auto& p : items) {
        std::size_t at = p.address ^ 1u;
        if (p.area == "id")
            at = 0xF0000 + ((p.address - 0x200000) ^ 1u);
        if (p.area == "config")
            at = 0xF0010 + ((p.address - 0x300000) ^ 1u);
        if (p.area == "eeprom")
            at = 0xF0200 + (p.address - 0xF00000);
        EXPECT_EQ(l.buffer[at], p.value) << p.area << " 0x" << std::hex << p.address;
    }
}

// srec_cat's reading of a file, a byte a record ("S306" AAAAAAAA VV SS): byte address and
// value.
std::vector<std::pair<uint32_t, uint8_t>> SrecCatBytes(const std::string& file) {
    std::ifstream in(kData / file);
    std::vector<std::pair<uint32_t, uint8_t>> bytes;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("S306", 0) == 0 && line.size() >= 16) {
            bytes.emplace_back(static_cast<uint32_t>(std::stoul(line.substr(4, 8), nullptr, 16)),
                               static_cast<uint8_t>(std::stoul(line.substr(12, 2), nullptr, 16)));
        }
    }
    return bytes;
}

// Records that start at odd byte addresses, as srec_cat re-blocks a file and as gpasm
// writes a de after an org inside the EEPROM area: each byte lands in its own half of
// its word, where srec_cat puts it (the buffer keeps words high byte first).
TEST(LoadRealFiles, RecordsAtOddAddressesLoadEachByteAtItsOwnAddress) {
    const struct {
        const char* file;
        const char* part;
    } cases[] = {{"pic16f877a-block15", "PIC16F877A"}, {"pic16f628a-oddee", "PIC16F628A"}};
    for (const auto& c : cases) {
        const std::string file = std::string(c.file) + ".hex";
        const Loaded l =
            Load(file, test::ShippedRecord(c.part), format::Inh8m, fill::DeviceDefault);
        EXPECT_EQ(l.result, load::Ok) << file;
        const auto bytes = SrecCatBytes(std::string(c.file) + ".s37");
        ASSERT_GT(bytes.size(), 8u) << file;
        for (const auto& [address, value] : bytes) {
            EXPECT_EQ(l.buffer[address ^ 1u], value) << file << " 0x" << std::hex << address;
        }
    }
    const Loaded original = Load("pic16f877a-inhx8m.hex", test::ShippedRecord("PIC16F877A"),
                                 format::Inh8m, fill::DeviceDefault);
    const Loaded reblocked = Load("pic16f877a-block15.hex", test::ShippedRecord("PIC16F877A"),
                                  format::Inh8m, fill::DeviceDefault);
    ASSERT_EQ(original.buffer.BufferSize(), reblocked.buffer.BufferSize());
    EXPECT_TRUE(std::equal(original.buffer.data(),
                           original.buffer.data() + original.buffer.BufferSize(),
                           reblocked.buffer.data()));
}

// The data bytes of an Intel HEX style file by absolute byte address (word-addressed
// files: twice the word address), in file order.
std::vector<std::pair<uint32_t, uint8_t>> HexFileBytes(const std::string& file, bool words) {
    std::ifstream in(kData / file);
    std::vector<std::pair<uint32_t, uint8_t>> bytes;
    uint32_t base = 0;
    for (std::string line; std::getline(in, line);) {
        const auto field = [&line](std::size_t at, std::size_t n) {
            return static_cast<uint32_t>(std::stoul(line.substr(at, n), nullptr, 16));
        };
        const uint32_t length = field(1, 2) * (words ? 2 : 1), type = field(7, 2);
        if (type == 0x04)
            base = field(9, 4) << 16;
        if (type != 0x00)
            continue;
        const uint32_t start = base + field(3, 4) * (words ? 2 : 1);
        for (uint32_t i = 0; i < length; ++i)
            bytes.emplace_back(start + i, static_cast<uint8_t>(field(9 + 2 * i, 2)));
    }
    return bytes;
}

// The same bytes cut into records of at most `n` bytes (words, for a word-addressed
// file) wherever the addresses run on, and wherever else a record would cross 64 KiB.
std::string Recut(const std::vector<std::pair<uint32_t, uint8_t>>& bytes, std::size_t n,
                  bool words) {
    std::string out;
    uint32_t upper = 0;
    const std::size_t unit = words ? 2 : 1;
    for (std::size_t i = 0; i < bytes.size();) {
        std::size_t count = unit;
        while (count < n * unit && i + count < bytes.size() &&
               bytes[i + count].first == bytes[i].first + count &&
               ((bytes[i].first + count) & 0xFFFF) != 0) {
            ++count;
        }
        count -= count % unit;
        const uint32_t address = bytes[i].first;
        if (!words && address >> 16 != upper) {
            upper = address >> 16;
            const uint8_t value[2] = {static_cast<uint8_t>(upper >> 8),
                                      static_cast<uint8_t>(upper)};
            AppendIntelRecord(out, 2, 0, 0x04, value, 2, "\n");
        }
        uint8_t data[64];
        for (std::size_t k = 0; k < count; ++k)
            data[k] = bytes[i + k].second;
        AppendIntelRecord(out, static_cast<uint8_t>(count / unit),
                          static_cast<uint16_t>(address / unit), 0x00, data, count, "\n");
        i += count;
    }
    return out + ":00000001FF\n";
}

TEST(LoadRealFiles, GpasmFilesLoadTheSameHoweverTheirRecordsAreCut) {
    for (const auto& c : test::kGpasmFiles) {
        const DeviceRecord record = test::ShippedRecord(c.part);
        const Loaded original = Load(c.file, record, c.fileFormat, fill::DeviceDefault);
        ASSERT_EQ(original.result, load::Ok) << c.file;
        const bool words = c.fileFormat == format::Inx16;
        const auto bytes = HexFileBytes(c.file, words);
        for (std::size_t n = 1; n <= 32; ++n) {
            const std::string text = Recut(bytes, n, words);
            FileSettings settings;
            settings.format = c.fileFormat;
            settings.fill = fill::DeviceDefault;
            DeviceBuffer buffer;
            test::RecordingFileHost host;
            ASSERT_EQ(LoadFileBytes({text.begin(), text.end()}, {"recut", record, settings}, buffer,
                                    host),
                      load::Ok)
                << c.file << " in records of " << n;
            EXPECT_EQ(host.lines.size(), 2u) << c.file << " in records of " << n;
            EXPECT_TRUE(std::equal(original.buffer.data(),
                                   original.buffer.data() + original.buffer.BufferSize(),
                                   buffer.data()))
                << c.file << " in records of " << n;
        }
    }
}

}  // namespace
}  // namespace kardo
