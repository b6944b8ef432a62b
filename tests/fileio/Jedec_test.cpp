// SPDX-License-Identifier: GPL-3.0-or-later
// Fuse maps in JEDEC files: the writer's layout line by line, the UES text, and the
// reader's checks of the checksum, the pin count and the fuse count, through the loader.
#include <gtest/gtest.h>

#include "devicedb/Checksum.h"
#include "fileio/FileLoader.h"
#include "fileio/FileWriter.h"
#include "fileio/PldLayout.h"
#include "support/RecordingFileHost.h"
#include "support/Records.h"
#include "support/ShippedRecords.h"

namespace kardo {
namespace {

using Lines = std::vector<std::string>;

// Fuses set in an irregular pattern.
DeviceBuffer FuseMap() {
    DeviceBuffer buffer(0x20000);
    for (std::size_t i = 0; i < buffer.BufferSize(); ++i) {
        buffer[i] = ((i * 7) % 5 < 2) ? '1' : '0';
    }
    return buffer;
}

std::string Jedec(const DeviceRecord& record, const DeviceBuffer& buffer) {
    return RenderSaveFile({"x", record, format::Jedec}, buffer, {});
}

Lines LinesOf(const std::string& text) {
    Lines lines;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find("\r\n", at);
        lines.push_back(text.substr(at, end - at));
        at = end == std::string::npos ? text.size() : end + 2;
    }
    return lines;
}

struct Read {
    DeviceBuffer buffer;
    test::RecordingFileHost host;
    uint8_t result = 0;
    Read(const DeviceRecord& record, const std::string& text) {
        FileSettings settings;
        settings.format = format::Jedec;
        result = LoadFileBytes(std::vector<uint8_t>(text.begin(), text.end()),
                               {"map.jed", record, settings}, buffer, host);
    }
};

TEST(Jedec, TheLayoutOfASixteenVEight) {
    const DeviceRecord gal = test::ShippedRecord("GAL16V8");
    const DeviceBuffer buffer = FuseMap();
    const Lines lines = LinesOf(Jedec(gal, buffer));
    ASSERT_EQ(lines.size(), 2u + 6 + 64 + 1 + 1 + 1 + 1 + 1 + 1);
    EXPECT_EQ(lines[0], "\x02");
    EXPECT_EQ(lines[1], std::string("Jedec File for GAL16V8") + std::string(12, '\0'));
    EXPECT_EQ(Lines(lines.begin() + 2, lines.begin() + 8),
              (Lines{"*QP20", "*QF2194", "*QV0", "*F0", "*G0", "*X0"}));
    for (int row = 0; row < 64; ++row) {
        char head[16];
        std::snprintf(head, sizeof head, "*L%05d ", row * 32);
        std::string expected = head;
        for (int f = 0; f < 32; ++f)
            expected += static_cast<char>(buffer[static_cast<std::size_t>(row * 32 + f)]);
        ASSERT_EQ(lines[8 + static_cast<std::size_t>(row)], expected) << row;
    }
    EXPECT_EQ(lines[72].substr(0, 8), "*L02048 ");
    EXPECT_EQ(lines[72].size(), 8u + 8);
    EXPECT_EQ(lines[73].substr(0, 6), "*N UES");
    EXPECT_EQ(lines[74].substr(0, 8), "*L02056 ");
    EXPECT_EQ(lines[74].size(), 8u + 64);
    EXPECT_EQ(lines[75].substr(0, 8), "*L02120 ");
    EXPECT_EQ(lines[75].size(), 8u + 74);
    EXPECT_EQ(lines[76], "*N PES 00 00 00 00 00 00 00 00");
    char checksum[8];
    std::snprintf(checksum, sizeof checksum, "*C%04X", ComputeChecksum(gal, buffer) & 0xFFFFu);
    EXPECT_EQ(lines[77], checksum);
}

TEST(Jedec, TheUesAsText) {
    const DeviceRecord gal = test::ShippedRecord("GAL16V8");
    DeviceBuffer buffer = FuseMap();
    const uint8_t ues[8] = {0x41, 0x42, 0, 0, 0, 0, 0, 0};
    for (int i = 0; i < 64; ++i)
        buffer[2056 + static_cast<std::size_t>(i)] = (ues[i / 8] >> (i % 8)) & 1 ? '1' : '0';
    EXPECT_EQ(LinesOf(Jedec(gal, buffer))[73], "*N UES \"AB\" 00  00  00  00  00  00 ");
    // A UES that ends with a character leaves its quote open.
    for (int i = 0; i < 64; ++i)
        buffer[2056 + static_cast<std::size_t>(i)] = (0x5A >> (i % 8)) & 1 ? '1' : '0';
    EXPECT_EQ(LinesOf(Jedec(gal, buffer))[73], "*N UES \"ZZZZZZZZ");
}

TEST(Jedec, WhatIsWrittenReadsBackForEveryKindOfLayout) {
    DeviceRecord twoRowKinds = test::MakeRecord('P', 8294, 8, "GAL6001");
    twoRowKinds.SetU8(field::PinCount, 24);
    twoRowKinds.SetU8(field::BlankValue, '1');
    for (const DeviceRecord& record :
         {test::ShippedRecord("GAL16V8"), test::ShippedRecord("GAL20V8"),
          test::ShippedRecord("GAL22V10"), twoRowKinds}) {
        const DeviceBuffer buffer = FuseMap();
        const Read back(record, Jedec(record, buffer));
        EXPECT_EQ(back.result, load::Ok) << record.Name();
        EXPECT_EQ(back.host.lines, (Lines{"", " File map.jed Loaded"})) << record.Name();
        const uint32_t fuses = PldLayoutFor(record.Variant())->fuses;
        EXPECT_TRUE(std::equal(buffer.data(), buffer.data() + fuses, back.buffer.data()))
            << record.Name();
        EXPECT_EQ(back.buffer[fuses], record.BlankValue())
            << record.Name();  // nothing beyond the map
    }
}

TEST(Jedec, TheReadersChecks) {
    const DeviceRecord gal = test::ShippedRecord("GAL16V8");
    const DeviceBuffer buffer = FuseMap();
    const std::string good = Jedec(gal, buffer);

    // One fuse changed behind the checksum's back.
    std::string changed = good;
    const std::size_t at = changed.find("*L00000 ") + 8;
    changed[at] = changed[at] == '1' ? '0' : '1';
    const Read wrongSum(gal, changed);
    EXPECT_EQ(wrongSum.result, load::ChecksumError);
    ASSERT_EQ(wrongSum.host.lines.size(), 2u);
    EXPECT_EQ(wrongSum.host.lines[0].substr(0, 16), " Checksum given ");
    EXPECT_EQ(wrongSum.host.lines[1], " Checksum Error ");
    EXPECT_EQ(wrongSum.host.failureSounds, 1);

    // A 24-pin file for a 20-pin part.
    std::string pins = good;
    pins.replace(pins.find("*QP20"), 5, "*QP24");
    const Read wrongPins(gal, pins);
    EXPECT_EQ(wrongPins.result, load::ReadFailure);
    EXPECT_EQ(wrongPins.host.lines, Lines{" File NOT for Selected Device !!"});
    EXPECT_TRUE(wrongPins.host.messages.empty());

    // QF 2194: a last list ending at fuse 2193 fits, one ending at 2190 does not.
    const std::string fits = "\x02*QF2194*L02190 0101*";
    EXPECT_EQ(Read(gal, fits).result, load::Ok);
    const Read shortList(gal, "\x02*QF2194*L02187 0101*");
    EXPECT_EQ(shortList.result, load::ReadFailure);
    EXPECT_EQ(shortList.host.lines, Lines{" File Error , Aborted"});
    // A file that gives no fuse at all is no fuse map: never an erased one.
    for (const std::string& none :
         {std::string(), std::string("\x02 nothing*"), std::string(4096, 'A'),
          std::string("\x7F"
                      "ELF\x02\x01\x01\0\0\0",
                      10)}) {
        const Read empty(gal, none);
        EXPECT_EQ(empty.result, load::ReadFailure);
        EXPECT_EQ(empty.host.lines.at(0), " No fuse list in file");
    }
    // A map larger than the part's, with a count and a checksum that agree with it.
    DeviceRecord bigger = test::MakeRecord('P', 5892, 6, "GAL22V10X");
    bigger.SetU8(field::PinCount, 20);
    const Read tooMany(gal, Jedec(bigger, buffer));
    EXPECT_EQ(tooMany.result, load::ReadFailure);
    EXPECT_EQ(tooMany.host.lines.back(), " File NOT for Selected Device !!");

    // A fuse list beyond the buffer stops at its end.
    const Read beyond(gal, "*QF131080*L131070 1111111111111111*");
    EXPECT_EQ(beyond.result, load::ReadFailure);
    EXPECT_EQ(beyond.buffer[0x1FFFF], '1');
    EXPECT_NE(std::find(beyond.host.lines.begin(), beyond.host.lines.end(),
                        " Fuses beyond the end of the buffer were left out"),
              beyond.host.lines.end());
}

}  // namespace
}  // namespace kardo

namespace kardo {
namespace {

// Every layout fits together: the rows before the UES, the UES inside the fuses, and
// the two layouts with rows of two lengths as their table says.
TEST(Jedec, EveryFuseLayoutIsConsistent) {
    for (const PldLayout& l : kPldLayouts) {
        const uint32_t rows =
            uint32_t{l.rows} * l.fusesPerRow + uint32_t{l.laterRows} * l.fusesPerLaterRow;
        EXPECT_LE(rows, l.uesStart) << int(l.variant);
        EXPECT_LE(l.uesStart + 8u * l.uesBytes, l.fuses) << int(l.variant);
        EXPECT_EQ(l.laterRows != 0, l.variant == 8 || l.variant == 9) << int(l.variant);
    }
    EXPECT_EQ(PldLayoutFor(8)->rows * PldLayoutFor(8)->fusesPerRow, 64u * 114);
    EXPECT_EQ(PldLayoutFor(9)->laterRows * PldLayoutFor(9)->fusesPerLaterRow, 11u * 78);
    EXPECT_FALSE(PldLayoutFor(14).has_value());
}

}  // namespace
}  // namespace kardo
