// SPDX-License-Identifier: GPL-3.0-or-later
// The parallel EEPROM family against the virtual programmer: the exchanges byte for
// byte, what reaches the log, and what happens on faults and aborts.
#include "algorithms/EepromFamily.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "algorithms/ElapsedTime.h"
#include "algorithms/OperationDispatch.h"
#include "devicedb/BufferRules.h"
#include "link/SimulatedLink.h"
#include "link/TraceLink.h"
#include "support/RecordingHost.h"
#include "support/Records.h"
#include "support/SimOptions.h"

namespace kardo {
namespace {

using Lines = std::vector<std::string>;

// One EEPROM in the virtual programmer's socket and everything an operation needs.
class EepromBench {
  public:
    explicit EepromBench(int32_t lastAddress, uint32_t firmware = 3)
        : record(test::MakeRecord('E', lastAddress, 0, "AT28C64B")),
          buffer(*BufferSizeFor(record)) {
        sim.OpenEx("Q6K USB");
        sim.SetTimeouts(1000, 1000);  // as the version query at connection leaves them
        sim.programmer().firmwareVersion = static_cast<uint8_t>(firmware);
        sim.programmer().InsertChip(record);
        firmwareVersion = firmware;
        for (std::size_t i = 0; i < buffer.BufferSize(); ++i) {
            buffer[i] = static_cast<uint8_t>(i * 7 + (i >> 8));
        }
    }

    void Run(char operation) {
        code = operation;
        OperationContext context(record, buffer, code, errors, running, trace, firmwareVersion,
                                 host, OperationChoices{progBits, false, {}});
        RunOperation(context);
    }
    std::vector<uint8_t> Pattern(std::size_t n) const {
        return std::vector<uint8_t>(buffer.data(), buffer.data() + n);
    }
    // Lines of the trace from the first event that starts with `prefix`.
    int Count(const std::string& line) const {
        const auto lines = trace.Lines();
        return static_cast<int>(std::count(lines.begin(), lines.end(), line));
    }

    DeviceRecord record;
    DeviceBuffer buffer;
    SimulatedLink sim{test::SimOptions()};
    TraceLink trace{sim};
    test::RecordingHost host;
    char code = 0;
    std::atomic<uint8_t> errors{0};
    std::atomic<bool> running{true};
    uint32_t firmwareVersion = 3;
    uint8_t progBits = 0;
};

TEST(EepromFamily, ReadOf8KiBIsOneHandshakeAnd1024UnitsOf8) {
    EepromBench b(0x1FFF);
    std::fill(b.sim.programmer().chip().memory.begin(), b.sim.programmer().chip().memory.end(),
              0x5A);
    b.Run('R');
    const auto lines = b.trace.Lines();
    ASSERT_EQ(lines.size(), 4u + 1024u);
    EXPECT_EQ(lines[0], "write 45");
    EXPECT_EQ(lines[1], "read 2: 47 6F");
    EXPECT_EQ(lines[2], "timeouts 500/500");
    EXPECT_EQ(lines[3], "write 52");
    EXPECT_EQ(lines[4], "read 8: 5A 5A 5A 5A 5A 5A 5A 5A");
    EXPECT_EQ(lines.back(), lines[4]);
    EXPECT_EQ(b.host.lines, Lines{" Read Completed"});
    EXPECT_EQ(b.errors, 0);
    EXPECT_EQ(b.buffer[0x1FFF], 0x5A);
    EXPECT_NE(b.buffer[0x2000], 0x5A);  // beyond the device: untouched
    EXPECT_EQ(b.host.closes, 1);
    EXPECT_EQ(b.host.checksums.size(), 1u);
}

TEST(EepromFamily, ProgramSends64BlocksEachWith16AcknowledgementUnitsThenVerifies) {
    EepromBench b(0x1FFF);
    b.Run('P');
    EXPECT_EQ(b.sim.programmer().chip().memory, b.Pattern(0x2000));
    const auto lines = b.trace.Lines();
    EXPECT_EQ(lines[0], "timeouts 4000/50000");
    EXPECT_EQ(lines[1], "write 45");
    EXPECT_EQ(lines[3], "write 57");
    int blocks = 0;
    for (std::size_t i = 4; i < lines.size() && lines[i] != "purge 3"; ++i) {
        if (b.trace.events()[i].kind == TraceEvent::Kind::Write) {
            ASSERT_EQ(b.trace.events()[i].bytes.size(), 128u);
            for (std::size_t unit = 1; unit <= 16; ++unit) {
                ASSERT_EQ(b.trace.events()[i + unit].kind, TraceEvent::Kind::Read);
                ASSERT_EQ(b.trace.events()[i + unit].requested, 8u);
            }
            ++blocks;
        }
    }
    EXPECT_EQ(blocks, 64);
    EXPECT_EQ(b.Count("purge 3"), 1);  // before the verify handshake
    EXPECT_EQ(b.Count("write 52"), 1);
    EXPECT_EQ(b.host.lines, (Lines{" Programmed", " Verifying @ Vdd = 5.0V ", " Verified OK"}));
    EXPECT_EQ(b.host.captions, (Lines{"Program", "Verify"}));
}

TEST(EepromFamily, VerifyStopsAtTheFirstDifferenceAndNamesIt) {
    for (uint32_t firmware : {2u, 3u}) {
        EepromBench b(0x1FFF, firmware);
        b.sim.programmer().chip().memory = b.Pattern(0x2000);
        b.sim.programmer().faults.corruptAddress = 0x1A2;  // byte 2 of the unit at 0x1A0
        b.Run('V');
        const uint8_t ram = b.buffer[0x1A2];
        char expected[80];
        std::snprintf(expected, sizeof expected,
                      "  Compare Error @ 0x001A2 Ram = 0x%02X AT28C64B = 0x%02X", ram, ram ^ 0xFF);
        EXPECT_EQ(b.host.lines, (Lines{" Verifying @ Vdd = 5.0V ", expected}));
        EXPECT_EQ(b.errors, 1);
        EXPECT_EQ(b.buffer.BufferPos, 0x1A2u);
        EXPECT_EQ(b.host.gaugePosition, 0);  // reset at the end
        const auto& events = b.trace.events();
        const auto reads = std::count_if(events.begin(), events.end(), [](const TraceEvent& e) {
            return e.kind == TraceEvent::Kind::Read && e.requested == 8;
        });
        EXPECT_EQ(reads, 0x1A0 / 8 + 1);  // bytes 3 to 7 of that unit and the rest: unread
        EXPECT_EQ(b.Count("write 53"), firmware > 2 ? 1 : 0)
            << "stop command on firmware " << firmware;
        EXPECT_EQ(b.host.closes, 2);  // by the family, and by the dispatch after a failure
    }
}

TEST(EepromFamily, SilentProgrammerIsAJumperProblem) {
    EepromBench b(0x1FFF);
    b.sim.programmer().faults.silent = true;
    for (char op : {'R', 'V', 'P'}) {
        b.host.lines.clear();
        b.trace.Clear();
        b.Run(op);
        EXPECT_EQ(b.errors, 1) << op;
        const Lines expected = op == 'V'
                                   ? Lines{" Verifying @ Vdd = 5.0V ", " Set Jumper for 28C's"}
                                   : Lines{" Set Jumper for 28C's"};
        EXPECT_EQ(b.host.lines, expected) << op;  // a failed program is not verified
        EXPECT_EQ(b.Count("write 52") + b.Count("write 57"), 0) << op;
    }
    // Every wait is the read timeout of the one handshake.
    EXPECT_LE(b.sim.elapsed().count(), 3 * 4000);
}

TEST(EepromFamily, LinkErrorDuringReadStopsIt) {
    EepromBench b(0x1FFF);
    b.sim.options().failAfterBytes = 3 + 2 + 100;  // 'E' + "Go" sent, part way into the data
    b.Run('R');
    EXPECT_EQ(b.host.lines, Lines{" Error with read"});
    EXPECT_EQ(b.errors, 1);
    EXPECT_EQ(b.host.closes, 2);
}

// A programmer that goes quiet, a link that breaks and writes that fail, each at a point
// inside the data phase of each routine: the operation fails with one line, no
// completion line, and within one read timeout of the fault on the virtual clock.
TEST(EepromFamily, AStreamThatStopsOrALinkThatFailsIsAnErrorWithinOneTimeout) {
    enum class Fault { Silent, Broken, WritesFail };
    struct Case {
        char op;
        Fault fault;
        std::size_t afterBytes;  // counted from the start of the operation
        Lines lines;
        int64_t boundMs;
    };
    // 'E', "Go" and the command make 4 bytes; a program block is 128 bytes out and 128 back.
    const std::string verifying = " Verifying @ Vdd = 5.0V ";
    const std::vector<Case> cases{
        {'R', Fault::Silent, 4 + 100, {" Error with read"}, 500},
        {'R', Fault::Broken, 4 + 100, {" Error with read"}, 0},
        {'R', Fault::WritesFail, 3, {" Error with write"}, 0},
        {'V', Fault::Silent, 4, {verifying, " Error with read"}, 1000},
        {'V', Fault::Silent, 4 + 0x1000, {verifying, " Error with read"}, 1000},
        {'V', Fault::Broken, 4 + 0x1000, {verifying, " Error with read"}, 0},
        {'P', Fault::Silent, 4 + 3 * 256 + 128 + 50, {" No acknowledgement from programmer"}, 4000},
        {'P', Fault::Broken, 4 + 3 * 256 + 128 + 50, {" No acknowledgement from programmer"}, 0},
        {'P', Fault::Broken, 4 + 3 * 256 + 60, {" Error with write"}, 0},
        {'P', Fault::WritesFail, 4 + 2 * 256 + 10, {" Error with write"}, 0},
    };
    for (const Case& k : cases) {
        EepromBench b(0x1FFF);
        // Zeros on both sides: bytes that never came must not pass for matching ones.
        std::fill(b.buffer.data(), b.buffer.data() + b.buffer.BufferSize(), 0);
        std::fill(b.sim.programmer().chip().memory.begin(), b.sim.programmer().chip().memory.end(),
                  0);
        const std::size_t at = b.sim.transferred() + k.afterBytes;
        auto& options = b.sim.options();
        (k.fault == Fault::Silent   ? options.silentAfterBytes
         : k.fault == Fault::Broken ? options.failAfterBytes
                                    : options.writesFailAfterBytes) = at;
        b.Run(k.op);
        const std::string what = std::string(1, k.op) + " after " + std::to_string(k.afterBytes);
        EXPECT_EQ(b.host.lines, k.lines) << what;
        EXPECT_EQ(b.errors, 1) << what;
        EXPECT_EQ(b.sim.elapsed().count(), k.boundMs) << what;
        EXPECT_EQ(b.host.closes, 2) << what;  // the dispatch closes the window after a failure
        if (k.op == 'V' && k.fault == Fault::Silent) {
            EXPECT_EQ(b.Count("write 53"), 1) << what;  // the stop command after a failed verify
        }
    }
}

// Bytes that arrived before the stream stopped are kept; nothing after them is touched.
TEST(EepromFamily, AReadThatStopsKeepsOnlyTheWholeUnitsThatArrived) {
    EepromBench b(0x1FFF);
    std::fill(b.sim.programmer().chip().memory.begin(), b.sim.programmer().chip().memory.end(),
              0x5A);
    std::fill(b.buffer.data(), b.buffer.data() + b.buffer.BufferSize(), 0x11);
    b.sim.options().silentAfterBytes = b.sim.transferred() + 4 + 20;  // 2 units and a half
    b.Run('R');
    EXPECT_EQ(b.host.lines, Lines{" Error with read"});
    EXPECT_EQ(b.Pattern(17),
              (std::vector<uint8_t>{0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A,
                                    0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x11}));
}

TEST(EepromFamily, BlankAndEraseDoNothingForThisFamily) {
    for (char op : {'B', 'E'}) {
        EepromBench b(0x1FFF);
        b.Run(op);
        EXPECT_TRUE(b.trace.events().empty()) << op;
        EXPECT_TRUE(b.host.lines.empty()) << op;
        EXPECT_EQ(b.host.gaugePosition, 0);
        EXPECT_EQ(b.host.checksums.size(), 1u);
        EXPECT_EQ(b.host.closes, 1);
        EXPECT_EQ(b.host.ended, 1);
    }
}

TEST(EepromFamily, SizeNotAWholeNumberOfBlocksStaysInsideTheDeviceAndNeverWaits) {
    EepromBench b(202);  // 203 bytes: not a multiple of 8 nor of 128
    b.Run('P');
    EXPECT_EQ(b.host.lines, (Lines{" Programmed", " Verifying @ Vdd = 5.0V ", " Verified OK"}));
    EXPECT_EQ(b.sim.programmer().chip().memory, b.Pattern(203));
    const auto pattern = b.Pattern(b.buffer.BufferSize());
    std::fill(b.buffer.data(), b.buffer.data() + b.buffer.BufferSize(), 0);
    b.host.lines.clear();
    b.Run('R');
    EXPECT_EQ(b.host.lines, Lines{" Read Completed"});
    EXPECT_TRUE(std::equal(b.buffer.data(), b.buffer.data() + 203, pattern.begin()));
    EXPECT_EQ(b.buffer[203], 0);            // nothing stored beyond the device
    EXPECT_EQ(b.sim.elapsed().count(), 0);  // no read ever waited for bytes that never come
}

TEST(EepromFamily, AbortDuringProgramStillSendsEveryBlockButReadsNoMoreAcknowledgements) {
    EepromBench b(0x1FFF);
    b.host.onGauge = [&b](int64_t position) {
        if (position == 0x400)
            b.running = false;  // the user presses Abort
    };
    b.Run('P');
    EXPECT_EQ(b.Count("write 57"), 1);
    const auto& events = b.trace.events();
    const auto blocks = std::count_if(events.begin(), events.end(), [](const TraceEvent& e) {
        return e.kind == TraceEvent::Kind::Write && e.bytes.size() == 128;
    });
    const auto acks = std::count_if(events.begin(), events.end(), [](const TraceEvent& e) {
        return e.kind == TraceEvent::Kind::Read && e.requested == 8;
    });
    EXPECT_EQ(blocks, 64);
    EXPECT_EQ(acks, 0x400 / 8);
    // An aborted program is not verified, and logs nothing after the abort.
    EXPECT_EQ(b.Count("write 52"), 0);
    EXPECT_TRUE(b.host.lines.empty());
    EXPECT_EQ(b.errors, 0);
}

TEST(ElapsedTime, HoursMinutesSecondsAndHundredths) {
    EXPECT_EQ(ElapsedTimeLine(3600000 + 2 * 60000 + 3456), " 01:02:03.45");
    EXPECT_EQ(ElapsedTimeLine(9), " 00:00:00.00");
    EXPECT_EQ(ElapsedTimeLine(24 * 3600000 + 10), " 00:00:00.01");
}

}  // namespace
}  // namespace kardo
