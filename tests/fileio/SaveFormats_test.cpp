// SPDX-License-Identifier: GPL-3.0-or-later
// The writer's files line by line: record lengths, addresses, the address records,
// line ends, and the sections of the PIC formats.
#include <gtest/gtest.h>

#include <sstream>

#include "fileio/FileWriter.h"
#include "fileio/PicSections.h"
#include "support/DataFiles.h"
#include "support/Records.h"
#include "support/ShippedRecords.h"

namespace kardo {
namespace {

using Lines = std::vector<std::string>;

// The file split after each "\n", line ends kept.
Lines LinesOf(const std::string& text) {
    Lines lines;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find('\n', at);
        lines.push_back(
            text.substr(at, end == std::string::npos ? std::string::npos : end + 1 - at));
        at = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
}

struct Saved {
    DeviceRecord record;
    DeviceBuffer buffer;
    explicit Saved(DeviceRecord r) : record(r) {
        buffer.Allocate(0x200000);
        const auto pattern = test::PatternBytes(buffer.BufferSize(), 3);
        std::copy(pattern.begin(), pattern.end(), buffer.data());
    }
    Lines Render(uint8_t fileFormat, uint32_t start = 0, uint32_t stop = 0) const {
        return LinesOf(RenderSaveFile({"x", record, fileFormat, start, stop}, buffer, {}));
    }
    // A data line with its address and bytes, as the writer must produce it.
    std::string Hex(const std::string& head, std::size_t from, std::size_t n) const {
        std::string text = head;
        unsigned sum = 0;
        for (std::size_t i = 0; i + 1 < head.size(); i += 2)
            sum += std::stoul(head.substr(i + 1, 2), nullptr, 16);
        char digits[3];
        for (std::size_t i = 0; i < n; ++i) {
            std::snprintf(digits, sizeof digits, "%02X", unsigned{buffer[from + i]});
            text += digits;
            sum += buffer[from + i];
        }
        std::snprintf(digits, sizeof digits, "%02X", (0x100 - sum) & 0xFFu);
        return text + digits;
    }
};

TEST(SaveFormats, IntelHexLinesOf16BytesWithCrLf) {
    const Saved s(test::MakeRecord('E', 0x7FFF));
    EXPECT_EQ(s.Render(format::IntelHex, 0, 0x1F),
              (Lines{s.Hex(":10000000", 0, 16) + "\r\n", s.Hex(":10001000", 16, 16) + "\r\n",
                     ":00000001FF\r\n"}));
    const Lines seventeen = s.Render(format::IntelHex, 0, 16);
    ASSERT_EQ(seventeen.size(), 3u);
    EXPECT_EQ(seventeen[1], s.Hex(":01001000", 16, 1) + "\r\n");
}

TEST(SaveFormats, IntelHexAboveSixtyFourKiBMovesBySegments) {
    const Saved s(test::MakeRecord('E', 0x1FFFF));
    const Lines lines = s.Render(format::IntelHex, 0, 0x1003F);
    EXPECT_EQ(lines[0], ":020000020000FC\r\n");  // the segment of the start
    EXPECT_EQ(s.Render(format::IntelHex, 0xFF00, 0xFF0F)[0], ":020000020FF0FD\r\n");
    // The record at 0xFFD0 is followed by the segment of 0xFFE0, and the next record is at 0000.
    std::size_t i = 0;
    while (i < lines.size() && lines[i].rfind(":10FFD000", 0) != 0)
        ++i;
    ASSERT_LT(i + 2, lines.size());
    EXPECT_EQ(lines[i], s.Hex(":10FFD000", 0xFFD0, 16) + "\r\n");
    EXPECT_EQ(lines[i + 1], ":020000020FFEEF\r\n");
    EXPECT_EQ(lines[i + 2], s.Hex(":10000000", 0xFFE0, 16) + "\r\n");
    EXPECT_EQ(lines.back(), ":00000001FF\r\n");

    // Beyond 1 MiB a segment cannot reach: linear records at every 64 KiB instead.
    const Saved big(test::MakeRecord('E', 0x1FFFFF));
    const Lines far = big.Render(format::IntelHex, 0xFFFF8, 0x100017);
    EXPECT_EQ(far, (Lines{":02000004000FEB\r\n", big.Hex(":08FFF800", 0xFFFF8, 8) + "\r\n",
                          ":020000040010EA\r\n", big.Hex(":10000000", 0x100000, 16) + "\r\n",
                          big.Hex(":08001000", 0x100010, 8) + "\r\n", ":00000001FF\r\n"}));
}

TEST(SaveFormats, MotorolaS1AndS2Records) {
    const Saved s(test::MakeRecord('E', 0x1FFFF));
    // Every file opens with a header record naming the program.
    const std::string header = "S00800004B4152444F86\n";
    const Lines two = s.Render(format::Motorola, 0, 0x3F);
    ASSERT_EQ(two.size(), 4u);
    EXPECT_EQ(two[0], header);
    EXPECT_EQ(two[1].substr(0, 8), "S1230000");
    EXPECT_EQ(two[2].substr(0, 8), "S1230020");
    EXPECT_EQ(two[1].size(), 4u + 2 * 2 + 2 * 32 + 2 + 1);  // "S1", count, address, data, sum, "\n"
    EXPECT_EQ(two[3], "S9030000FC\n");

    const Lines wide = s.Render(format::Motorola, 0x10000, 0x1003D);
    ASSERT_EQ(wide.size(), 4u);
    EXPECT_EQ(wide[0], header);
    EXPECT_EQ(wide[1].substr(0, 10), "S223010000");
    EXPECT_EQ(wide[2].substr(0, 10), "S22301001F");  // 31 data bytes each

    const Lines odd = s.Render(format::Motorola, 0, 32);
    ASSERT_EQ(odd.size(), 4u);
    EXPECT_EQ(odd[2].substr(0, 8), "S1040020");

    // A record never runs past the last address of its field: 0xFFF0 holds 16 bytes.
    const Lines across = s.Render(format::Motorola, 0xFFF0, 0x1000F);
    EXPECT_EQ(across[1].substr(0, 8), "S113FFF0");
    EXPECT_EQ(across[2].substr(0, 10), "S214010000");
}

TEST(SaveFormats, BinaryIsTheRangeAlone) {
    const Saved s(test::MakeRecord('E', 0x7FFF));
    const std::string bytes =
        RenderSaveFile({"x", s.record, format::Binary, 0x10, 0x2F}, s.buffer, {});
    EXPECT_EQ(bytes, std::string(reinterpret_cast<const char*>(s.buffer.data()) + 0x10, 0x20));
}

TEST(SaveFormats, RangesThatCannotBeWrittenAreRefused) {
    const Saved s(test::MakeRecord('E', 0x7FFF));
    EXPECT_NE(SaveRangeProblem({"x", s.record, format::IntelHex, 0x20, 0x10}, s.buffer)
                  .find("above the stop"),
              std::string::npos);
    EXPECT_NE(SaveRangeProblem({"x", s.record, format::IntelHex, 0, 0x200000}, s.buffer)
                  .find("beyond the buffer"),
              std::string::npos);
    EXPECT_EQ(SaveRangeProblem({"x", s.record, format::IntelHex, 0, 0x1FFFFF}, s.buffer), "");
}

TEST(SaveFormats, Inh8mOfAOneKWordPic) {
    const Saved s(test::ShippedRecord("PIC16F84A"));  // LastAddress 0x7FF, 64 bytes of EEPROM
    const Lines lines = s.Render(format::Inh8m);
    // 128 code records, one of ID, one of configuration, 8 of EEPROM (0x80 buffer bytes):
    // in the order of their addresses.
    ASSERT_EQ(lines.size(), 128u + 8 + 1 + 1 + 1);
    EXPECT_EQ(lines[0].substr(0, 9), ":10000000");
    EXPECT_EQ(lines[127].substr(0, 9), ":1007F000");
    // Every pair exchanged: the low byte of each word first.
    char first[5];
    std::snprintf(first, sizeof first, "%02X%02X", unsigned{s.buffer[1]}, unsigned{s.buffer[0]});
    EXPECT_EQ(lines[0].substr(9, 4), first);
    EXPECT_EQ(lines[128].substr(0, 9), ":08400000");
    EXPECT_EQ(lines[129].substr(0, 9), ":02400E00");
    EXPECT_EQ(lines[130].substr(0, 9), ":10420000");
    EXPECT_EQ(lines.back(), ":00000001FF\n");
    for (const auto& line : lines) {
        EXPECT_EQ(line.find('\r'), std::string::npos) << line;  // line feeds only
    }
}

TEST(SaveFormats, Inx16RecordsCarryWordAddresses) {
    const Saved s(test::ShippedRecord("PIC16F84A"));
    const Lines lines = s.Render(format::Inx16);
    EXPECT_EQ(lines[1],
              s.Hex(":08000800", 0x10, 16) + "\n");  // buffer bytes 0x10-0x1F, in buffer order
    // The ID at word 0x2000, the configuration word at 0x2007 and the EEPROM at 0x2100.
    ASSERT_EQ(lines.size(), 128u + 8 + 1 + 1 + 1);
    EXPECT_EQ(lines[128], s.Hex(":04200000", 0x4000, 8) + "\n");
    EXPECT_EQ(lines[129], s.Hex(":01200700", 0x400E, 2) + "\n");
    EXPECT_EQ(lines[130].substr(0, 9), ":08210000");
    EXPECT_EQ(lines.back(), ":00000001FF\n");
}

}  // namespace
}  // namespace kardo

namespace kardo {
namespace {

// The sections of each PIC layout, row by row as the writer's table gives them:
// buffer position / file address of EEPROM, ID and configuration.
TEST(SaveFormats, PicSectionsForEveryVariant) {
    struct Row {
        uint8_t variant, configCode;
        int64_t eepromBuffer, eepromFile, idBuffer, idFile;  // -1: no such section
        uint32_t configBuffer, configFile;
        bool extended;
    };
    const Row rows[] = {
        {0, 0, -1, -1, 0x4000, 0x800, 0x400E, 0x1FFE, false},
        {6, 0, -1, -1, 0x4000, 0x800, 0x400E, 0x1FFE, false},
        {19, 0, -1, -1, 0x4000, 0x800, 0x400E, 0x1FFE, false},
        {3, 0, -1, -1, -1, -1, 0x400E, 0xFE00, false},
        {8, 0, -1, -1, -1, -1, 0x800E, 0xFE00, false},
        {1, 0, 0x4200, 0x4200, 0x4000, 0x4000, 0x400E, 0x400E, false},
        {2, 45, 0x4200, 0x4200, 0x4000, 0x4000, 0x400E, 0x400E, false},
        {10, 0, 0x4200, 0x4200, 0x4000, 0x4000, 0x400E, 0x400E, false},
        {2, 46, 0x10200, 0x1E000, 0x10000, 0x10000, 0x1000E, 0x1000E, true},
        {7, 48, 0x10200, 0x1E000, 0x10000, 0x10000, 0x1000E, 0x1000E, true},
        {18, 0x1B, 0xF0200, 0xF00000, 0xF0000, 0x200000, 0xF0010, 0x300000, true},
    };
    for (const Row& r : rows) {
        DeviceRecord record = test::MakeRecord('C', 0x7FF, r.variant);
        record.SetU8(field::ConfigCode, r.configCode);
        record.SetU16(field::EepromSize, 0x3F);
        record.SetU8(field::ConfigCount, 2);
        const PicSections s = PicSectionsFor(record);
        const std::string what =
            "variant " + std::to_string(r.variant) + " code " + std::to_string(r.configCode);
        EXPECT_EQ(s.code.length, 0x800u) << what;
        EXPECT_EQ(s.eeprom ? int64_t{s.eeprom->buffer} : -1, r.eepromBuffer) << what;
        EXPECT_EQ(s.eeprom ? int64_t{s.eeprom->file} : -1, r.eepromFile) << what;
        EXPECT_EQ(s.id ? int64_t{s.id->buffer} : -1, r.idBuffer) << what;
        EXPECT_EQ(s.id ? int64_t{s.id->file} : -1, r.idFile) << what;
        EXPECT_EQ(s.config.buffer, r.configBuffer) << what;
        EXPECT_EQ(s.config.file, r.configFile) << what;
        EXPECT_EQ(s.config.extendedAddress, r.extended) << what;
        if (s.eeprom) {
            // A word of the buffer for each EEPROM byte; PIC18s keep one byte each, in order.
            EXPECT_EQ(s.eeprom->length, r.variant == 18 ? 0x40u : 0x80u) << what;
            EXPECT_EQ(s.eeprom->exchanged, r.variant != 18) << what;
        }
        EXPECT_EQ(s.id ? s.id->length : 0u, r.variant == 18 ? 16u : s.id ? 8u : 0u) << what;
        EXPECT_EQ(s.config.length, r.variant == 18 ? 14u : 2u) << what;
    }
}

}  // namespace
}  // namespace kardo
