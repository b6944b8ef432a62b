// SPDX-License-Identifier: GPL-3.0-or-later
// The ISP family against the virtual programmer: the identity check, the step loop with
// its lock bits and fuses, the streams byte for byte, and faults and aborts.
#include "algorithms/IspFamily.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "common/Format.h"
#include "support/OperationBench.h"
#include "support/Records.h"
#include "support/ShippedRecords.h"

namespace kardo {
namespace {

using Lines = std::vector<std::string>;
using Answer = OperationHost::Answer;
using test::OperationBench;
using test::PatternOf;

// An ISP part with a program in its buffer that differs from the erased chip.
struct Isp : OperationBench {
    explicit Isp(const char* part, uint32_t firmware = 3)
        : OperationBench(test::ShippedRecord(part), firmware) {
        Put(0, PatternOf(static_cast<std::size_t>(record.Size())));
    }
};

TEST(IspFamily, ProgramEraseCodeAndVerifyThenTheFusesOfTheConfigurationDialog) {
    Isp b("ATmega8");
    b.progBits = 0x41;
    b.configBits.FuseLow = 0xE4;
    b.configBits.FuseHigh = 0xD9;
    b.configBits.FuseExt = 0x01;  // the ATmega8 has none: never sent
    b.configBits.LockBits = 0x3C;
    b.chip().memory[7] = 0x00;  // erased first
    b.Run('P');
    EXPECT_EQ(b.host.lines,
              (Lines{" Erase Completed ", " Code Area Clean", " Programmed",
                     " Verifying @ Vdd = 5.0V ", " Code Area Verified OK", " Fusebits Programmed",
                     " High Fusebits Programmed", " Lockbits Programmed"}));
    EXPECT_EQ(b.errors, 0);
    EXPECT_EQ(b.chip().memory, b.Bytes(0, 0x2000));
    // The low fuse as the dialog has it: every bit of it is a real fuse of this part.
    EXPECT_EQ(b.chip().fuseLow, 0xE4);
    EXPECT_EQ(b.chip().fuseHigh, 0xD9);
    EXPECT_EQ(b.chip().fuseExt, 0xFF);
    EXPECT_EQ(b.chip().lockBits, 0x3C);
    const auto lines = b.trace.Lines();
    EXPECT_EQ(lines[0], "timeouts 1000/1000");
    EXPECT_EQ(lines[1], "purge 3");
    EXPECT_EQ(lines[2], "write 4D");
    EXPECT_EQ(lines[3], "write 45");
    EXPECT_EQ(lines[4], "read 4: 44 6F 6E 65");
    // The code area: 64 blocks of 128, each followed by 128 single acknowledgements.
    EXPECT_EQ(b.Reads(1), 64 * 128 + 3);  // and the low fuse, high fuse and lock frames
    EXPECT_EQ(b.Count("write 45 50 46 E4"), 1);
    EXPECT_EQ(b.Count("write D9"), 1);
    EXPECT_EQ(b.Count("write 45 50 4C 3C"), 1);
    EXPECT_EQ(b.code, 'C');
}

// The extended fuse goes after the high fuse for every part whose sheet edits it,
// whichever bits it holds there: the boot bits (0xCD), the brown-out level (0xD2, where a
// chosen level was once shown but never sent) or self-programming (0xD1), and on the
// program's own sheets (the ATmega164P/324P layout, 0xDD; the ATtiny1634's, 0xE5).
TEST(IspFamily, ExtendedFuseForEverySheetThatShowsOne) {
    const struct {
        const char* part;
        uint8_t low, high, ext;
    } parts[] = {{"ATmega168", 0x62, 0xDF, 0xF9},
                 {"ATmega328P", 0xFF, 0xDA, 0xFC},
                 {"ATtiny85", 0x62, 0xDF, 0xFE},
                 {"ATmega324P", 0x62, 0x99, 0xFC},
                 {"ATtiny1634", 0x62, 0xDF, 0xF5}};
    for (const auto& p : parts) {
        SCOPED_TRACE(p.part);
        Isp b(p.part);
        b.progBits = 0x01;
        b.configBits = {.FuseLow = p.low, .FuseHigh = p.high, .FuseExt = p.ext, .LockBits = 0xFF};
        b.Run('P');
        const Lines tail(b.host.lines.end() - 5, b.host.lines.end());
        EXPECT_EQ(tail, (Lines{" Code Area Verified OK", " Fusebits Programmed",
                               " High Fusebits Programmed", " Extended Fusebits Programmed",
                               " Lockbits Programmed"}));
        EXPECT_EQ(b.chip().fuseLow, p.low);
        EXPECT_EQ(b.chip().fuseHigh, p.high);
        EXPECT_EQ(b.chip().fuseExt, p.ext);
        const auto all = b.trace.Lines();
        const std::string low = Format("write 45 50 46 %.2X", p.low);
        const auto fuses = std::find(all.begin(), all.end(), low);
        ASSERT_NE(fuses, all.end());
        EXPECT_EQ(
            Lines(fuses, all.end()),
            (Lines{low, "read 1: 41", Format("write %.2X", p.high), "read 1: 41",
                   Format("write %.2X", p.ext), "read 1: 41", "write 45 50 4C FF", "read 1: 41"}));
    }
}

TEST(IspFamily, Variant30SendsOnlyItsFuseBitsAndLockBits) {
    auto r = test::MakeRecord('M', 0x7FF, 30, "AT90S2343");
    r.SetU8(field::ButtonMask2, 0x05);
    r.SetU8(field::BlankValue, 0xFF);
    r.SetU8(field::ManufId, 0x1E);
    r.SetU8(field::DeviceId, 0x91);
    r.SetU8(field::DeviceId2, 0x03);
    OperationBench b(r);
    b.configBits.FuseLow = 0x00;
    b.configBits.LockBits = 0x00;
    b.progBits = 0x4F;  // the lock bit steps do nothing here: the lock frame has them
    b.Run('P');
    EXPECT_EQ(b.Count("write 45 50 46 DE"), 1);  // (0x00 AND 0x21) OR 0xDE
    EXPECT_EQ(b.Count("write 45 50 4C F9"), 1);  // 0x00 OR 0xF9
    EXPECT_EQ(b.Count("write E1") + b.Count("write E2") + b.Count("write E3"), 0);
    EXPECT_EQ(b.host.lines.back(), " Lockbits Programmed");
    EXPECT_EQ(b.host.lines.size(), 7u);
}

TEST(IspFamily, LockBitStepsAndTheLockBitsAReadShows) {
    Isp b("AT89S52");
    b.progBits = 0x4F;
    const auto start = std::chrono::steady_clock::now();
    b.Run('P');
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500 + 3 * 10));
    EXPECT_EQ(b.host.lines,
              (Lines{" Erase Completed ", " Code Area Clean", " Programmed",
                     " Verifying @ Vdd = 5.0V ", " Code Area Verified OK", " Lockbit 1 Programmed",
                     " Lockbit 2 Programmed", " Lockbit 3 Programmed"}));
    EXPECT_EQ(b.chip().lockByte, 0x1C);
    // Each lock bit: purge, 'M' 'W', the command, its acknowledgement, the read-back.
    const auto lines = b.trace.Lines();
    const auto first = std::find(lines.begin(), lines.end(), "write E1");
    ASSERT_NE(first, lines.end());
    EXPECT_EQ(Lines(first - 3, first + 6),
              (Lines{"purge 3", "write 4D", "write 57", "write E1", "read 1: E1", "write 4D",
                     "write 52", "write 4C", "read 1: 04"}));

    b.Clear();
    b.Run('R');  // a read covers the code area once, whatever else ProgBits holds
    EXPECT_EQ(b.host.lines,
              (Lines{" Read Completed", " LockBit 1 = P", " LockBit 2 = P", " LockBit 3 = P"}));
    EXPECT_EQ(b.Count("write 70"), 1);
    EXPECT_EQ(b.Bytes(0, 0x2000), b.chip().memory);

    b.Clear();
    b.progBits = 0x01;
    b.Run('E');
    b.Clear();
    b.Run('R');
    EXPECT_EQ(b.host.lines,
              (Lines{" Read Completed", " LockBit 1 = U", " LockBit 2 = U", " LockBit 3 = U"}));
}

TEST(IspFamily, ALockBitThatDoesNotTakeIsSentAgainAFewTimesAtMost) {
    Isp once("AT89S52");
    once.progBits = 0x02;
    once.sim.programmer().faults.lockCommandsIgnored = 1;
    once.Run('P');
    EXPECT_EQ(once.host.lines, Lines{" Lockbit 1 Programmed"});
    EXPECT_EQ(once.Count("write E1"), 2);
    EXPECT_EQ(once.errors, 0);

    Isp never("AT89S52");
    never.progBits = 0x06;
    never.sim.programmer().faults.lockCommandsIgnored = 100;
    never.Run('P');
    EXPECT_EQ(never.host.lines, Lines{" Lockbit 1 Not Programmed"});
    EXPECT_EQ(never.Count("write E1"), 3);
    EXPECT_EQ(never.Count("write E2"), 0);  // the step loop ends
    EXPECT_EQ(never.errors, 1);
}

TEST(IspFamily, IdentityCheck) {
    // Off: nothing asked.
    Isp off("ATmega8");
    off.idCheck = false;
    off.sim.programmer().faults.signature = std::array<uint8_t, 3>{0x1E, 0x95, 0x0F};
    off.Run('R');
    EXPECT_EQ(off.Count("write 49"), 0);
    EXPECT_TRUE(off.host.questions.empty());

    // The right chip: asked once, no question.
    Isp right("ATmega8");
    right.idCheck = true;
    right.Run('R');
    EXPECT_EQ(right.trace.Lines()[0], "purge 3");
    EXPECT_EQ(right.trace.Lines()[3], "read 3: 1E 93 07");
    EXPECT_TRUE(right.host.questions.empty());

    // A wrong chip: Retry asks again, Ignore goes on.
    Isp wrong("ATmega8");
    wrong.idCheck = true;
    wrong.sim.programmer().faults.signature = std::array<uint8_t, 3>{0x1E, 0x95, 0x0F};
    wrong.host.answers = {Answer::Retry, Answer::Retry, Answer::Ignore};
    wrong.Run('R');
    EXPECT_EQ(wrong.host.questions, Lines(3, "CHIP_ID Error: ID: 30=0x1E 31=0x95 32=0xF "));
    EXPECT_EQ(wrong.Count("write 49"), 3);
    EXPECT_EQ(wrong.Count("purge 3"), 3 + 3);  // and the read's own two and the lock read's
    EXPECT_EQ(wrong.host.lines.front(), " Read Completed");

    // Abort: one error, no line, nothing more sent.
    Isp refused("ATmega8");
    refused.idCheck = true;
    refused.sim.programmer().faults.silent = true;  // bytes that do not come count as 0
    refused.host.answers = {Answer::Abort};
    refused.Run('P');
    EXPECT_EQ(refused.host.questions, Lines{"CHIP_ID Error: ID: 30=0x0 31=0x0 32=0x0 "});
    EXPECT_EQ(refused.errors, 1);
    EXPECT_TRUE(refused.host.lines.empty());
    EXPECT_EQ(refused.trace.Lines().size(), 4u);
    EXPECT_EQ(refused.host.closes, 1);
}

TEST(IspFamily, VerifyStopsAtTheFirstDifferenceAndSendsTheStopOnNewerFirmware) {
    for (uint32_t firmware : {2u, 3u}) {
        Isp b("ATmega8", firmware);
        b.chip().memory = b.Bytes(0, 0x2000);
        b.sim.programmer().faults.corruptAddress = 0x1A3;
        b.Run('V');
        ASSERT_EQ(b.host.lines.size(), 2u);
        EXPECT_EQ(b.host.lines[1].substr(0, 26), "  Compare Error @ 0x001A3 ");
        EXPECT_EQ(b.Reads(4), 0x1A0 / 4 + 1);
        EXPECT_EQ(b.Count("write 53"), firmware > 2 ? 1 : 0) << firmware;
        EXPECT_EQ(b.errors, 1);
    }
}

TEST(IspFamily, BlankCheckNamesTheChipAndStops) {
    Isp b("ATmega8");
    b.chip().memory[0x333] = 0x12;
    b.Run('B');
    EXPECT_EQ(b.host.lines, Lines{" ATmega8 not blank"});
    EXPECT_EQ(b.buffer.BufferPos, 0x333u);
    EXPECT_EQ(b.Count("write 53"), 1);
    b.Clear();
    b.chip().Erase();
    b.Run('B');
    EXPECT_EQ(b.host.lines, Lines{" Code Area Clean"});
}

TEST(IspFamily, EraseWithoutAChipEraseSendsNothing) {
    Isp b("ATmega8");
    b.record.SetU8(field::ButtonMask2, 0x04);
    b.Run('E');
    EXPECT_TRUE(b.trace.Lines() == Lines{"timeouts 1000/1000"});
    EXPECT_TRUE(b.host.lines.empty());
    EXPECT_EQ(b.errors, 0);
    // A program that asks for an erase first is still a program.
    b.progBits = 0x41;
    b.Run('P');
    EXPECT_EQ(b.Count("write 45"), 0);
    EXPECT_EQ(b.host.lines.at(0), " Programmed");
}

TEST(IspFamily, ReadStoresTheCodeAreaAndNothingBeyondIt) {
    Isp b("ATmega8");
    const auto beyond = b.Bytes(0x2000, 64);
    b.chip().memory.resize(0x2000 + 100, 0xAB);  // the programmer sends 100 bytes too many
    b.Run('R');
    EXPECT_EQ(b.host.lines.front(), " Read Completed");
    EXPECT_EQ(b.Bytes(0x2000, 64), beyond);
    EXPECT_EQ(b.buffer.BufferPos, 0x2000u);
    EXPECT_EQ(b.sim.programmer().Available(), 0u);  // the rest went with the purge
}

// A link that fails part-way costs one error, and the operation ends with the line of
// what failed, never on the last step that worked (" Read Completed" before the lock
// byte, " Erase Completed " before the blank check, the verify line).
TEST(IspFamily, ALinkThatFailsPartWayEndsWithTheLineOfWhatFailed) {
    struct Case {
        char op;
        uint64_t breakAfter, writesFailAfter;
    };
    const Lines failures{" Error with read", " Error with write", " Error with programmer link",
                         " No acknowledgement from programmer"};
    for (const Case& c :
         {Case{'R', 3 + 1000, 0}, Case{'R', 3 + 0x2000 + 3, 0}, Case{'V', 3 + 1000, 0},
          Case{'E', 2 + 4 + 3 + 100, 0}, Case{'P', 0, 3 + 2000}}) {
        Isp b("ATmega8");
        b.progBits = 0x01;
        b.chip().memory = b.Bytes(0, 0x2000);
        if (c.op == 'E')
            b.chip().memory.assign(0x2000, 0xFF);
        if (c.breakAfter != 0)
            b.sim.options().failAfterBytes = c.breakAfter;
        else
            b.sim.options().writesFailAfterBytes = c.writesFailAfter;
        b.Run(c.op);
        EXPECT_EQ(b.errors, 1) << c.op;
        ASSERT_FALSE(b.host.lines.empty()) << c.op;
        EXPECT_NE(std::find(failures.begin(), failures.end(), b.host.lines.back()), failures.end())
            << c.op << ": " << b.host.lines.back();
        EXPECT_EQ(b.Count("write 45 50 46 00"), 0);  // no fuses after a failure
    }
}

// A chip erase answered with anything but "Done" is a failure: the catalogue's erase
// line, and an erase before programming goes no further.
TEST(IspFamily, AnEraseThePartDoesNotConfirmFailsAndNothingIsProgrammed) {
    Isp b("ATmega8");
    b.sim.programmer().faults.eraseFails = true;
    b.chip().memory[7] = 0x00;
    b.Run('E');
    EXPECT_EQ(b.host.lines, Lines{" ERASE Error"});
    EXPECT_EQ(b.errors, 1);
    b.Clear();
    b.progBits = 0x41;
    b.Run('P');
    EXPECT_EQ(b.host.lines, Lines{" ERASE Error"});
    EXPECT_EQ(b.errors, 1);
    EXPECT_EQ(b.Count("write 70"), 0);  // the code area never went
    EXPECT_EQ(b.chip().memory[7], 0x00);
}

TEST(IspFamily, AQuietProgrammerEndsEveryOperationWithItsLine) {
    for (char op : {'R', 'V', 'B', 'P', 'E'}) {
        Isp b("ATmega8");
        b.progBits = 0x41;
        if (op == 'V')
            b.chip().memory = b.Bytes(0, 0x2000);
        b.sim.options().silentAfterBytes = 3 + 500;
        const auto start = std::chrono::steady_clock::now();
        b.Run(op);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << op;
        EXPECT_EQ(b.errors, 1) << op;
        ASSERT_FALSE(b.host.lines.empty()) << op;
        const std::string& last = b.host.lines.back();
        EXPECT_TRUE(last == " Error with read" || last == " No acknowledgement from programmer")
            << op << ": " << last;
    }
}

TEST(IspFamily, ASizeThatIsNotAWholeNumberOfBlocks) {
    auto r = test::ShippedRecord("ATmega8");
    r.SetI32(field::LastAddress, 1000 - 1);
    OperationBench b(r);
    b.Put(0, PatternOf(1000));
    b.progBits = 0x01;
    b.Run('P');
    EXPECT_EQ(b.errors, 0) << b.host.lines.back();
    EXPECT_EQ(b.chip().memory, b.Bytes(0, 1000));
    EXPECT_EQ(b.Reads(1), 1000 + 3);  // one acknowledgement per byte, and the fuse frames
    EXPECT_EQ(b.Reads(4), 250);
}

TEST(IspFamily, AbortStopsReadVerifyAndBlankButNotTheBlocksOfAProgram) {
    for (char op : {'R', 'V', 'B'}) {
        Isp b("ATmega8");
        if (op == 'V')
            b.chip().memory = b.Bytes(0, 0x2000);
        b.host.onGauge = [&](int64_t position) {
            if (position > 400)
                b.running = false;
        };
        b.Run(op);
        EXPECT_TRUE(b.host.lines.empty() || b.host.lines == Lines{" Verifying @ Vdd = 5.0V "})
            << op;
        EXPECT_EQ(b.host.closes, 1) << op;
    }
    Isp b("ATmega8");
    b.progBits = 0x01;
    b.host.onGauge = [&](int64_t position) {
        if (position > 400)
            b.running = false;
    };
    b.Run('P');
    EXPECT_TRUE(b.host.lines.empty());
    EXPECT_EQ(b.chip().memory, b.Bytes(0, 0x2000));  // every block went
    EXPECT_EQ(b.Count("write 45 50 46 00"), 0);
}

}  // namespace
}  // namespace kardo
