// SPDX-License-Identifier: GPL-3.0-or-later
// What the writer saves, the loader reads back to the same buffer: for every format
// and family it applies to, and every section of every PIC layout. srec_cat reads our
// Intel HEX and S-record files without a complaint and gives the same bytes, and the
// PIC files gpasm made come back the same after a load and a save.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "GpasmFiles.h"
#include "fileio/FileLoader.h"
#include "fileio/FileWriter.h"
#include "fileio/PicSections.h"
#include "support/DataFiles.h"
#include "support/RecordingFileHost.h"
#include "support/Records.h"
#include "support/ShippedRecords.h"
#include "support/TempDir.h"

namespace kardo {
namespace {

using Bytes = std::vector<uint8_t>;

DeviceBuffer Patterned(std::size_t size, uint8_t seed) {
    DeviceBuffer buffer(size);
    const auto bytes = test::PatternBytes(size, seed);
    std::copy(bytes.begin(), bytes.end(), buffer.data());
    return buffer;
}

// Writes `buffer` and loads the result into a fresh buffer.
DeviceBuffer RoundTrip(const SaveRequest& request, const DeviceBuffer& buffer, uint8_t& result,
                       uint8_t fillOption = fill::Zero) {
    const std::string text = RenderSaveFile(request, buffer, {});
    FileSettings settings;
    settings.format = request.format;
    settings.fill = fillOption;
    if (request.format == format::Binary) {
        settings.offset = static_cast<int32_t>(request.start);  // a binary file has no addresses
    }
    DeviceBuffer back;
    test::RecordingFileHost host;
    result = LoadFileBytes(Bytes(text.begin(), text.end()), {"saved", request.record, settings},
                           back, host);
    return back;
}

bool SameRange(const DeviceBuffer& a, const DeviceBuffer& b, std::size_t from, std::size_t n) {
    return from + n <= a.BufferSize() && from + n <= b.BufferSize() &&
           std::equal(a.data() + from, a.data() + from + n, b.data() + from);
}

TEST(SaveRoundTrip, ByteFormatsForEveryByteFamily) {
    DeviceRecord mega = test::ShippedRecord("ATmega328P");
    const struct {
        const char* what;
        DeviceRecord record;
        uint32_t start, stop;
    } cases[] = {
        {"EEPROM whole", test::MakeRecord('E', 0x7FFF), 0, 0x7FFF},
        {"EEPROM from an odd address", test::MakeRecord('E', 0x7FFF), 0x123, 0x4567},
        {"EEPROM above 64 KiB", test::MakeRecord('E', 0x3FFFF), 0x5, 0x3FFFF},
        {"EEPROM above 1 MiB", test::MakeRecord('E', 0x1FFFFF), 0xFFF00, 0x10F0FF},
        {"ISP code and data EEPROM", mega, 0, 0x83FF},
        {"word family", test::MakeRecord('O', 0xFFFF), 0x100, 0x1FFFF},
        {"serial flash", test::MakeRecord('S', 0x1FFFF), 0, 0x1FFFF},
        {"a single byte", test::MakeRecord('E', 0x7FFF), 0x7FFF, 0x7FFF},
    };
    for (const auto& c : cases) {
        const DeviceBuffer buffer = Patterned(c.stop + 1 + 64, 9);
        for (uint8_t fileFormat : {format::IntelHex, format::Motorola, format::Binary}) {
            uint8_t result = 0xFF;
            const DeviceBuffer back =
                RoundTrip({"x", c.record, fileFormat, c.start, c.stop}, buffer, result);
            EXPECT_EQ(result, load::Ok) << c.what << " format " << int(fileFormat);
            EXPECT_TRUE(SameRange(buffer, back, c.start, c.stop - c.start + 1))
                << c.what << " format " << int(fileFormat);
            EXPECT_EQ(back.LowestWritten, c.start) << c.what;
            EXPECT_EQ(back.HighestWritten, c.stop) << c.what;
        }
    }
}

// Each PIC layout: every section comes back, in both PIC formats.
TEST(SaveRoundTrip, EverySectionOfEveryPicLayout) {
    const auto pic = [](uint8_t variant, uint8_t code, int32_t last, uint16_t eeprom,
                        uint8_t configCount) {
        DeviceRecord r = test::MakeRecord('C', last, variant);
        r.SetU8(field::ConfigCode, code);
        r.SetU16(field::EepromSize, eeprom);
        r.SetU8(field::ConfigCount, configCount);
        r.SetU8(field::BlankValue, 0x3F);
        return r;
    };
    const struct {
        const char* what;
        DeviceRecord record;
    } cases[] = {
        {"12-bit", pic(6, 0x0F, 0x3FF, 0, 2)},
        {"14-bit without EEPROM, areas above the code", pic(0, 0x13, 0x7FF, 0, 2)},
        {"configuration at 0xFE00", pic(3, 0, 0x7FF, 0, 2)},
        {"configuration at 0xFE00 into 0x800E", pic(8, 0, 0x7FF, 0, 2)},
        {"14-bit with EEPROM", pic(2, 0x09, 0x7FF, 63, 2)},
        {"two configuration words", pic(2, 0x1E, 0x3FFF, 255, 4)},
        {"an odd configuration count", pic(2, 0x1E, 0x3FFF, 255, 3)},
        {"areas above 64 KiB", pic(2, 46, 0x3FFF, 0x7F, 2)},
        {"PIC18", pic(18, 0x1B, 0x7FFF, 255, 14)},
        {"PIC18, odd EEPROM", pic(18, 0x1B, 0x3FFF, 126, 14)},
        {"PIC18 with 48 KiB of code", pic(18, 0x1B, 0xBFFF, 255, 14)},
        {"PIC18 with 64 KiB of code", pic(18, 0x2B, 0xFFFF, 1023, 14)},
        {"PIC18 with 128 KiB of code", pic(18, 0x1B, 0x1FFFF, 255, 14)},
    };
    for (const auto& c : cases) {
        const DeviceBuffer buffer = Patterned(0x100000, 5);
        const PicSections sections = PicSectionsFor(c.record);
        for (uint8_t fileFormat : {format::Inh8m, format::Inx16}) {
            if (fileFormat == format::Inx16 && c.record.LastAddress() >= 0x1FFFF) {
                // Word addresses of 16 bits reach 128 KiB, code alone: such a save is
                // refused, never written with addresses that wrap.
                EXPECT_NE(SaveRangeProblem({"x", c.record, fileFormat}, buffer), "");
                continue;
            }
            const std::string what =
                std::string(c.what) + (fileFormat == format::Inh8m ? " Inh8m" : " Inx16");
            uint8_t result = 0xFF;
            const DeviceBuffer back = RoundTrip({"x", c.record, fileFormat}, buffer, result);
            EXPECT_EQ(result, load::Ok) << what;
            EXPECT_TRUE(SameRange(buffer, back, 0, sections.code.length)) << what << ": code";
            if (sections.eeprom) {
                EXPECT_TRUE(
                    SameRange(buffer, back, sections.eeprom->buffer, sections.eeprom->length))
                    << what << ": EEPROM";
            }
            if (sections.id) {
                EXPECT_TRUE(SameRange(buffer, back, sections.id->buffer, sections.id->length))
                    << what << ": ID";
            }
            EXPECT_TRUE(SameRange(buffer, back, sections.config.buffer, sections.config.length))
                << what << ": config at 0x" << std::hex << sections.config.buffer;
        }
    }
}

// srec_cat, run on what we wrote: no warning, and the same bytes.
std::string RunCommand(const std::string& command, int& status) {
    std::string output;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        status = -1;
        return output;
    }
    char chunk[512];
    while (std::fgets(chunk, sizeof chunk, pipe) != nullptr)
        output += chunk;
    status = pclose(pipe);
    return output;
}

TEST(SaveRoundTrip, SrecCatReadsWhatWeWrite) {
    test::TempDir dir;
    const DeviceBuffer buffer = Patterned(0x200000, 1);
    const struct {
        DeviceRecord record;
        uint32_t start, stop;
    } ranges[] = {
        {test::MakeRecord('E', 0x7FFF), 0, 0x7FFF},
        {test::MakeRecord('E', 0x3FFFF), 0x11, 0x3FFF0},
        {test::MakeRecord('E', 0x1FFFFF), 0xFFF00, 0x10FFFF},
    };
    for (const auto& r : ranges) {
        for (uint8_t fileFormat : {format::IntelHex, format::Motorola}) {
            const auto file = dir / (fileFormat == format::IntelHex ? "out.hex" : "out.mot");
            test::RecordingFileHost host;
            ASSERT_EQ(SaveFile({file, r.record, fileFormat, r.start, r.stop}, buffer, host).code,
                      0);
            int status = 0;
            const std::string said = RunCommand(
                "srec_cat '" + file.string() +
                    (fileFormat == format::IntelHex ? "' -intel" : "' -motorola") + " -crop " +
                    std::to_string(r.start) + " " + std::to_string(uint64_t{r.stop} + 1) +
                    " -offset -" + std::to_string(r.start) + " -o '" + (dir / "out.bin").string() +
                    "' -binary",
                status);
            ASSERT_EQ(status, 0)
                << "srec_cat (Debian package srecord) must be installed and read the file: "
                << said;
            EXPECT_EQ(said, "") << file;  // not a warning, the header record included
            const Bytes read = test::ReadBytes(dir / "out.bin");
            ASSERT_EQ(read.size(), uint64_t{r.stop} - r.start + 1) << file;
            EXPECT_TRUE(std::equal(read.begin(), read.end(), buffer.data() + r.start)) << file;
        }
    }
}

// Every PIC18 the database ships, in both PIC formats: nothing of the code is covered by
// the areas written after it, whatever the size of the code.
TEST(SaveRoundTrip, EveryShippedPic18InBothFormats) {
    int parts = 0;
    const DeviceBuffer buffer = Patterned(0x100000, 3);
    for (const DeviceRecord& record : test::ShippedRecords()) {
        if (record.Family() != 'C' || record.Variant() != 18)
            continue;
        ++parts;
        const PicSections sections = PicSectionsFor(record);
        for (uint8_t fileFormat : {format::Inh8m, format::Inx16}) {
            const std::string what =
                record.Name() + (fileFormat == format::Inh8m ? " Inh8m" : " Inx16");
            ASSERT_EQ(SaveRangeProblem({"x", record, fileFormat}, buffer), "") << what;
            uint8_t result = 0xFF;
            const DeviceBuffer back = RoundTrip({"x", record, fileFormat}, buffer, result);
            EXPECT_EQ(result, load::Ok) << what;
            for (const PicSection* s :
                 {&sections.code, &*sections.eeprom, &*sections.id, &sections.config}) {
                EXPECT_TRUE(SameRange(buffer, back, s->buffer, s->length))
                    << what << ": from 0x" << std::hex << s->buffer;
            }
        }
    }
    EXPECT_GE(parts, 15);
}

// The PIC formats too: srec_cat reads INH8M as Intel HEX and INX16 as its word-addressed
// variant, and checks that the records come in the order of their addresses.
TEST(SaveRoundTrip, SrecCatReadsOurPicFilesWithoutAWarning) {
    test::TempDir dir;
    const DeviceBuffer buffer = Patterned(0x100000, 7);
    for (const char* part : {"PIC12F508", "PIC16F84A", "PIC16F877A", "PIC18F452", "PIC18F4680"}) {
        const DeviceRecord record = test::ShippedRecord(part);
        for (uint8_t fileFormat : {format::Inh8m, format::Inx16}) {
            const auto file = dir / "pic.hex";
            test::RecordingFileHost host;
            ASSERT_EQ(SaveFile({file, record, fileFormat}, buffer, host).code, 0) << part;
            int status = 0;
            const std::string said =
                RunCommand("srec_cat '" + file.string() +
                               (fileFormat == format::Inh8m ? "' -intel" : "' -Intel_HeX_16") +
                               " -o '" + (dir / "pic.bin").string() + "' -binary",
                           status);
            EXPECT_EQ(status, 0) << part << " " << int(fileFormat) << ": " << said;
            EXPECT_EQ(said, "") << part << " " << int(fileFormat);
        }
    }
}

TEST(SaveRoundTrip, GpasmFilesLoadSaveAndLoadTheSame) {
    for (const auto& c : test::kGpasmFiles) {
        const DeviceRecord record = test::ShippedRecord(c.part);
        FileSettings settings;
        settings.format = c.fileFormat;
        DeviceBuffer first;
        test::RecordingFileHost host;
        ASSERT_EQ(LoadFile({test::kLoaderData / c.file, record, settings}, first, host), load::Ok)
            << c.file;
        for (uint8_t again : {format::Inh8m, format::Inx16}) {
            uint8_t result = 0xFF;
            const DeviceBuffer second =
                RoundTrip({"x", record, again}, first, result, fill::DeviceDefault);
            EXPECT_EQ(result, load::Ok) << c.file;
            // The fill was the device's erased pattern both times, so every byte matches.
            EXPECT_TRUE(SameRange(first, second, 0, first.BufferSize()))
                << c.file << " saved as " << int(again);
        }
    }
}

// Files the toolchains of the byte-organised families made (avr-gcc, sdcc, and srec_cat
// for an EEPROM image), loaded for a shipped part of each, saved in both byte formats
// and loaded again: the same buffer every time, and a second save gives the same file.
TEST(SaveRoundTrip, ToolchainFilesOfTheByteFamiliesLoadSaveAndLoadTheSame) {
    const struct {
        const char* file;
        const char* part;
        uint8_t fileFormat;
    } cases[] = {
        {"avr-ihex.hex", "ATmega328P", format::IntelHex},
        {"avr-srec.srec", "ATmega328P", format::Motorola},
        {"atmega8-ihex.hex", "ATmega8", format::IntelHex},
        {"mcs51.ihx", "AT89S52", format::IntelHex},
        {"ihex-holes.hex", "AT28C256", format::IntelHex},
    };
    for (const auto& c : cases) {
        const DeviceRecord record = test::ShippedRecord(c.part);
        FileSettings settings;
        settings.format = c.fileFormat;
        settings.fill = fill::FF;
        DeviceBuffer first;
        test::RecordingFileHost host;
        ASSERT_EQ(LoadFile({test::kLoaderData / c.file, record, settings}, first, host), load::Ok)
            << c.file;
        const auto stop = static_cast<uint32_t>(record.Size() + record.EepromSize() - 1);
        for (uint8_t again : {format::IntelHex, format::Motorola}) {
            uint8_t result = 0xFF;
            const SaveRequest request{"x", record, again, 0, stop};
            const DeviceBuffer second = RoundTrip(request, first, result, fill::FF);
            EXPECT_EQ(result, load::Ok) << c.file << " saved as " << int(again);
            EXPECT_TRUE(SameRange(first, second, 0, stop + 1))
                << c.file << " saved as " << int(again);
            EXPECT_EQ(RenderSaveFile(request, second, {}), RenderSaveFile(request, first, {}))
                << c.file << " saved as " << int(again);
        }
    }
}

}  // namespace
}  // namespace kardo
