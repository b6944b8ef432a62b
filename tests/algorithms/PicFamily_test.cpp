// SPDX-License-Identifier: GPL-3.0-or-later
// The PIC family against the virtual programmer: the passes by ProgBits, the areas and
// their lengths byte for byte, and what happens on faults and aborts.
#include "algorithms/PicFamily.h"

#include <gtest/gtest.h>

#include "algorithms/PicSteps.h"
#include "devicedb/Checksum.h"
#include "support/OperationBench.h"
#include "support/Records.h"
#include "support/ShippedRecords.h"

namespace kardo {
namespace {

using Lines = std::vector<std::string>;
using test::OperationBench;
using test::PatternOf;

// A PIC16F877A whose buffer holds code, data EEPROM, ID bytes and a configuration word
// that differ from an erased chip.
struct Pic877 : OperationBench {
    Pic877() : OperationBench(test::ShippedRecord("PIC16F877A")) {
        Put(0, PatternOf(0x4000));
        Put(0x4200, PatternOf(512, 7));
        Put(0x4000, {0x00, 0x01, 0x00, 0x02, 0x00, 0x03, 0x00, 0x04});
        Put(0x400E, {0x2F, 0x4A});  // within the configuration mask 0x2FCF
    }
};

TEST(PicFamily, ProgramsEveryChosenAreaAndReadsItBack) {
    Pic877 b;
    b.progBits = 0x17;  // code, data, ID, configuration
    b.Run('P');
    EXPECT_EQ(b.host.lines,
              (Lines{" Code Area Programmed", " Code Area Verified", " Data Area Programmed",
                     " Data Area Verified", " ID Bytes Programmed", " ID Bytes Verified",
                     " Config Bytes Programmed", " Config Bytes Verified"}));
    EXPECT_EQ(b.errors, 0);
    EXPECT_EQ(b.chip().memory, b.Bytes(0, 0x4000));
    EXPECT_EQ(b.chip().data, b.Bytes(0x4200, 512));
    EXPECT_EQ(b.chip().config, b.Bytes(0x400E, 2));
    EXPECT_EQ(b.host.closes, 1);
    EXPECT_EQ(b.host.checksums.size(), 4u);  // one per pass: program and verify of an area

    const std::string programmed = ChecksumText(ComputeChecksum(b.record, b.buffer));
    const auto image = b.Bytes(0, 0x4400);
    FillErased(b.buffer, b.record);
    b.Clear();
    b.Run('R');
    EXPECT_EQ(b.host.lines, (Lines{" Code Area Read", " Data Area Read", " ID Bytes Read",
                                   " Config Bytes Read"}));
    EXPECT_EQ(b.Bytes(0, 0x4400), image);
    EXPECT_EQ(b.host.checksums.back(), programmed);
}

TEST(PicFamily, EachAreaIsItsOwnExchange) {
    Pic877 b;
    b.progBits = 0x10;
    b.Run('P');
    // Program: handshake, 'W' and the area byte apart, one block of 2, one acknowledgement
    // pair; verify: handshake, 'R' and the area byte apart, one unit of 2.
    EXPECT_EQ(b.trace.Lines(), (Lines{"write 50", "read 2: 47 6F", "write 57", "write 63",
                                      "write 2F 4A", "read 2: 2F 4A", "write 50", "read 2: 47 6F",
                                      "write 52", "write 63", "read 2: 2F 4A"}));
    b.Clear();
    b.Run('R');
    // Read: 'R' with the area byte as one write, then 'R' again.
    EXPECT_EQ(b.trace.Lines(),
              (Lines{"write 50", "read 2: 47 6F", "write 52 63", "write 52", "read 2: 2F 4A"}));
}

TEST(PicFamily, AnEmptyChoiceIsTheCodeAreaAndStaysSo) {
    Pic877 b;
    b.progBits = 0x00;
    b.Run('R');
    EXPECT_EQ(b.progBits, 0x01);
    EXPECT_EQ(b.host.lines, Lines{" Code Area Read"});
    EXPECT_EQ(b.Reads(2), 1 + 0x2000);  // the handshake and the code area in words
}

TEST(PicFamily, EraseFirstThenProgramAndVerifyAreaByArea) {
    Pic877 b;
    b.progBits = 0x43;
    b.Run('P');
    EXPECT_EQ(b.host.lines,
              (Lines{" Erase Completed", " Code Area Blank", " Code Area Programmed",
                     " Code Area Verified", " Data Area Programmed", " Data Area Verified"}));
    EXPECT_EQ(b.code, 'P');
    EXPECT_EQ(b.Count("write 45"), 1);
    EXPECT_EQ(b.host.captions.front(), "Erase");
}

TEST(PicFamily, EraseIsOneChipEraseThenBlankChecksOfTheOfferedAreas) {
    Pic877 b;
    b.chip().memory[5] = 0x00;  // erased anyway
    b.Run('E');                 // ProgStepMask 0x57: code, data, ID, configuration
    EXPECT_EQ(b.host.lines, (Lines{" Erase Completed", " Code Area Blank", " Data Area Blank",
                                   " ID Bytes Blank", " Config Bytes Blank"}));
    EXPECT_EQ(b.Count("write 45"), 1);
    EXPECT_EQ(b.code, 'B');

    // Without a chip erase nothing is sent at all.
    OperationBench none(test::ShippedRecord("PIC16F877A"));
    none.record.SetU8(field::ButtonMask2, 0x04);
    none.Run('E');
    EXPECT_TRUE(none.trace.Lines().empty());
    EXPECT_TRUE(none.host.lines.empty());
}

TEST(PicFamily, AMaskWithNoAreaLeftRepeatsTheLastArea) {
    Pic877 b;
    b.progBits = 0x21;
    b.Run('R');
    EXPECT_EQ(b.host.lines, (Lines{" Code Area Read", " Code Area Read"}));
}

TEST(PicFamily, CalibratedPartsKeepTheirLastWordOutOfBlankProgramAndVerify) {
    for (const char* part : {"PIC12F675", "PIC12F508"}) {  // ConfigCode 0x20, Variant 6
        OperationBench b(test::ShippedRecord(part));
        const auto size = static_cast<std::size_t>(b.record.Size());
        b.Put(0, PatternOf(size));
        b.chip().memory[size - 2] = 0x34;  // the factory calibration word
        b.chip().memory[size - 1] = 0x80;
        b.progBits = 0x01;
        b.Run('B');
        EXPECT_EQ(b.Reads(2), 1 + static_cast<int>(size / 2) - 1) << part;
        b.Clear();
        b.Run('P');
        EXPECT_EQ(b.Written().size(), 2 + size - 2 + 2 + 2) << part;  // P W p, code, P R p
        EXPECT_EQ(b.chip().memory[size - 2], 0x34) << part;
        EXPECT_EQ(b.host.lines, (Lines{" Code Area Programmed", " Code Area Verified"})) << part;
        b.Clear();
        b.Run('R');
        EXPECT_EQ(b.Reads(2), 1 + static_cast<int>(size / 2)) << part;  // a read covers it
        EXPECT_EQ(b.buffer[size - 2], 0x34) << part;
    }
    // Variant 11 the same; Variant 5 loses two bytes in the blank check only.
    for (uint8_t variant : {11, 5}) {
        auto r = test::MakeRecord('C', 0x3F, variant, "PICV");
        r.SetU8(field::ButtonMask2, 0x01);
        OperationBench b(r);
        b.Run('B');
        EXPECT_EQ(b.Reads(2), 1 + 31) << int(variant);
        b.Clear();
        b.Run('V');
        EXPECT_EQ(b.Reads(2), 1 + (variant == 11 ? 31 : 32)) << int(variant);
    }
}

TEST(PicFamily, DataAreaOfConfigCode0x28IsAreaZero) {
    auto r = test::ShippedRecord("PIC16F877A");
    r.SetU8(field::ConfigCode, 0x28);
    OperationBench b(r);
    b.progBits = 0x02;
    b.Run('R');
    EXPECT_EQ(b.trace.Lines()[2], "write 52 00");
    EXPECT_EQ(b.host.lines, Lines{" Data Area Read"});
}

TEST(PicFamily, ConfigurationBytesAreReadAndComparedThroughTheirMask) {
    Pic877 b;  // mask 0x2F 0xCF
    b.chip().config = {0xFF, 0xFF};
    b.progBits = 0x10;
    b.Run('R');
    EXPECT_EQ(b.Bytes(0x400E, 2), (std::vector<uint8_t>{0x2F, 0xCF}));
    // Unimplemented bits never make a difference; an implemented one does, and the device
    // byte is named masked.
    b.Clear();
    b.Put(0x400E, {0x20, 0x4A});
    b.chip().config = {0xF0, 0x7A};
    b.Run('V');
    EXPECT_EQ(b.host.lines, Lines{" Config Bytes Verified"});
    b.Clear();
    b.chip().config = {0xD0, 0x4A};
    b.Run('V');
    EXPECT_EQ(b.host.lines, Lines{"  Compare Error @ 0x0400E Ram = 0x20 PIC16F877A = 0x00"});
}

TEST(PicFamily, AnOddAreaIsOneBlockWithAPairOfAcknowledgementsForItsLastByte) {
    auto r = test::ShippedRecord("PIC16F877A");
    r.SetU8(field::ConfigCount, 9);
    OperationBench b(r);
    b.progBits = 0x10;
    b.Run('P');
    const auto& events = b.trace.events();
    ASSERT_GE(events.size(), 10u);
    EXPECT_EQ(events[4].bytes.size(), 9u);
    for (std::size_t i = 5; i < 10; ++i) {
        EXPECT_EQ(events[i].kind, TraceEvent::Kind::Read);
        EXPECT_EQ(events[i].requested, 2u);
    }
    EXPECT_EQ(b.host.lines, (Lines{" Config Bytes Programmed", " Config Bytes Verified"}));
}

TEST(PicFamily, BlankCheckExpectsTheCoresOwnErasedWord) {
    for (const char* part : {"PIC16F54", "PIC16F877A", "PIC18F452"}) {
        OperationBench b(test::ShippedRecord(part));
        b.progBits = b.record.ProgStepMask();
        b.Run('B');
        EXPECT_EQ(b.errors, 0) << part;
        EXPECT_EQ(b.host.lines.front(), " Code Area Blank") << part;
    }
    OperationBench dirty(test::ShippedRecord("PIC16F877A"));
    dirty.chip().memory[0x101] = 0x7F;
    dirty.progBits = 0x03;
    dirty.Run('B');
    EXPECT_EQ(dirty.host.lines, Lines{" PIC16F877A not blank"});
    EXPECT_EQ(dirty.buffer.BufferPos, 0x101u);
    EXPECT_EQ(dirty.Count("write 64"), 0);  // the data area is not checked after it
}

TEST(PicFamily, ACorruptedByteStopsTheStepLoop) {
    Pic877 b;
    b.progBits = 0x03;
    b.sim.programmer().faults.corruptAddress = 0x1A3;
    b.Run('P');
    ASSERT_EQ(b.host.lines.size(), 2u);
    EXPECT_EQ(b.host.lines[0], " Code Area Programmed");
    EXPECT_EQ(b.host.lines[1].substr(0, 26), "  Compare Error @ 0x001A3 ");
    EXPECT_EQ(b.errors, 1);
    EXPECT_EQ(b.Count("write 64"), 0);
    EXPECT_EQ(b.Count("write 53"), 0);  // no stop command in this family
    EXPECT_EQ(b.host.closes, 2);
}

TEST(PicFamily, ASilentProgrammerIsAJumperProblemWithinOneTimeout) {
    for (char op : {'R', 'V', 'P', 'B', 'E'}) {
        Pic877 b;
        b.progBits = 0x5F;
        b.sim.programmer().faults.silent = true;
        b.Run(op);
        EXPECT_EQ(b.host.lines, Lines{" Set Jumper for PICs"}) << op;
        EXPECT_EQ(b.errors, 1) << op;
        EXPECT_LE(b.sim.elapsed().count(), 1000) << op;
    }
}

TEST(PicFamily, AProgrammerThatStopsMidwayFailsWithItsLine) {
    Pic877 quiet;
    quiet.sim.options().silentAfterBytes = 1 + 2 + 2 + 1 + 300;
    quiet.Run('R');
    EXPECT_EQ(quiet.host.lines, Lines{" Error with read"});
    EXPECT_LE(quiet.sim.elapsed().count(), 1000);

    Pic877 noAck;
    noAck.sim.options().silentAfterBytes = 1 + 2 + 1 + 1 + 128 + 40;
    noAck.Run('P');
    EXPECT_EQ(noAck.host.lines, Lines{" No acknowledgement from programmer"});

    Pic877 broken;
    broken.sim.options().writesFailAfterBytes = 1 + 2 + 1 + 1 + 200;
    broken.Run('P');
    EXPECT_EQ(broken.host.lines, Lines{" Error with write"});
    EXPECT_EQ(broken.errors, 1);
}

TEST(PicFamily, AbortEndsEveryRoutineWithoutItsLine) {
    for (char op : {'R', 'V', 'B'}) {
        Pic877 b;
        b.progBits = 0x03;
        b.host.onGauge = [&](int64_t position) {
            if (position > 100)
                b.running = false;
        };
        if (op == 'V')
            b.chip().memory = b.Bytes(0, 0x4000);
        else if (op == 'B')
            FillErased(b.buffer, b.record);
        b.Run(op);
        EXPECT_TRUE(b.host.lines.empty()) << op;
        EXPECT_LT(b.Reads(2), 200) << op;
    }
    // An aborted program still sends the whole area, without reading acknowledgements.
    Pic877 b;
    b.progBits = 0x03;
    b.host.onGauge = [&](int64_t position) {
        if (position > 100)
            b.running = false;
    };
    b.Run('P');
    EXPECT_TRUE(b.host.lines.empty());
    EXPECT_EQ(b.Written().size(), 3 + 0x4000u);
    EXPECT_EQ(b.Count("write 64"), 0);
}

TEST(PicFamily, AreasAboveTheCodeForConfigCodes46To48AndForPic18) {
    auto big = test::MakeRecord('C', 0x7FFF, 2, "PIC16BIG");
    big.SetU8(field::ConfigCode, 47);
    big.SetU16(field::EepromSize, 255);
    big.SetU8(field::ConfigCount, 4);
    const PicArea id = PicAreaSetup(big, '2', 'R', true);
    const PicArea data = PicAreaSetup(big, '1', 'R', true);
    const PicArea config = PicAreaSetup(big, '4', 'R', true);
    EXPECT_EQ(id.position, 0x10000u);
    EXPECT_EQ(data.position, 0x10200u);
    EXPECT_EQ(config.position, 0x1000Eu);
    EXPECT_EQ(data.count, 512);
    // The checksum takes its configuration word from the same place.
    DeviceBuffer buffer(*BufferSizeFor(big));
    FillErased(buffer, big);
    const uint32_t before = ComputeChecksum(big, buffer);
    DeviceRecord masked = big;
    masked.SetU16(field::ConfigMask, 0xFF3F);  // the mask bytes 0x3F, 0xFF
    buffer[0x1000E] = 0x01;
    buffer[0x1000F] = 0x00;
    EXPECT_EQ(ComputeChecksum(masked, buffer), before + 0x0100);

    const auto pic18 = test::ShippedRecord("PIC18F452");
    EXPECT_EQ(PicAreaSetup(pic18, '2', 'R', true).position, 0xF0000u);
    EXPECT_EQ(PicAreaSetup(pic18, '4', 'R', true).position, 0xF0010u);
    EXPECT_EQ(PicAreaSetup(pic18, '1', 'R', true).position, 0xF0200u);
    EXPECT_EQ(PicAreaSetup(pic18, '1', 'R', true).count, pic18.EepromSize() + 1);
    EXPECT_EQ(PicAreaSetup(pic18, '3', 'R', true).position, std::nullopt);
}

TEST(PicFamily, Pic18ProgramAndReadRoundTrip) {
    OperationBench b(test::ShippedRecord("PIC18F452"));
    b.Put(0, PatternOf(static_cast<std::size_t>(b.record.Size())));
    b.Put(0xF0200, PatternOf(b.record.EepromSize() + 1u, 3));
    b.progBits = 0x53;
    b.Run('P');
    EXPECT_EQ(b.errors, 0) << (b.host.lines.empty() ? "" : b.host.lines.back());
    const auto code = b.Bytes(0, static_cast<std::size_t>(b.record.Size()));
    FillErased(b.buffer, b.record);
    b.Clear();
    b.Run('R');
    EXPECT_EQ(b.Bytes(0, code.size()), code);
    EXPECT_EQ(b.Bytes(0xF0200, b.record.EepromSize() + 1u),
              PatternOf(b.record.EepromSize() + 1u, 3));
}

}  // namespace
}  // namespace kardo
