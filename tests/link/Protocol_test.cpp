// SPDX-License-Identifier: GPL-3.0-or-later
// Exchanges with the programmer, byte for byte, through a recording link.
#include "link/Protocol.h"

#include <gtest/gtest.h>

#include "link/Connection.h"
#include "link/SimulatedLink.h"
#include "link/TraceLink.h"
#include "support/Records.h"
#include "support/SimOptions.h"

namespace kardo {
namespace {

using Lines = std::vector<std::string>;

struct RecordingLog : LogSink {
    std::vector<std::string> lines;
    void AppendLine(const std::string& line) override { lines.push_back(line); }
};

struct Exchange {
    SimulatedLink sim{test::SimOptions()};
    TraceLink trace{sim};
    Exchange() { sim.OpenEx("Q6K USB"); }
};

TEST(Protocol, ParameterUploadSendsEachByteAlone) {
    Exchange x;
    auto big = test::MakeRecord('E', 0x1FFFF, 0);  // 128 KiB: the size bytes are 0x00, 0x00
    EXPECT_TRUE(SendParameters(x.trace, big));
    EXPECT_EQ(x.trace.Lines(), (Lines{"write 56", "write 00", "write 00", "write 45", "write 00",
                                      "read 2: 4F 4B"}));

    x.trace.Clear();
    auto pic = test::MakeRecord('C', 0x7FF, 2);
    pic.SetU16(field::EepromSize, 0x7F);  // 128 bytes of data EEPROM
    pic.SetU8(field::ProgParam, 0x21);
    pic.SetU8(field::ConfigCode, 0x13);
    EXPECT_TRUE(SendParameters(x.trace, pic));
    EXPECT_EQ(x.trace.Lines(),
              (Lines{"write 56", "write 08", "write 00", "write 43", "write 02", "write 01",
                     "write 00", "write 21", "write 13", "read 2: 4F 4B"}));

    x.trace.Clear();
    auto pic18 = test::MakeRecord('C', 0x7FFF, 18);
    pic18.SetU16(field::EepromSize, 0xFF);  // PIC18: one byte per EEPROM byte
    EXPECT_TRUE(SendParameters(x.trace, pic18));
    EXPECT_EQ(x.trace.Lines()[5], "write 01");
    EXPECT_EQ(x.trace.Lines()[6], "write 00");

    x.sim.programmer().faults.rejectParameters = true;
    EXPECT_FALSE(SendParameters(x.trace, big));
    x.sim.programmer().faults.silent = true;
    EXPECT_FALSE(SendParameters(x.trace, big));
}

TEST(Protocol, FirmwareQueryOfASilentProgrammerGivesUpAfterItsPolls) {
    Exchange x;
    x.sim.programmer().faults.silent = true;
    EXPECT_EQ(QueryFirmware(x.trace), 0u);
    const auto& events = x.trace.events();
    ASSERT_EQ(events.size(), 2u + kFirmwareQueuePolls + 1u);
    EXPECT_EQ(events[0].Text(), "timeouts 1000/1000");
    EXPECT_EQ(events[1].Text(), "write 46");
    for (int i = 0; i < kFirmwareQueuePolls; ++i) {
        ASSERT_EQ(events[2 + static_cast<std::size_t>(i)].Text(), "queue 0");
    }
    EXPECT_EQ(events.back().Text(), "read 1:");
    EXPECT_EQ(x.sim.elapsed().count(), 1000);  // one read timed out, nothing else waited
}

TEST(Protocol, OpenLinkLogsTheProgrammerAndItsModel) {
    for (const auto& [firmware, model] : {std::pair{1, 24}, std::pair{2, 40}, std::pair{7, 40}}) {
        Exchange x;
        x.sim.Close();
        x.sim.programmer().firmwareVersion = static_cast<uint8_t>(firmware);
        ConnectionState state;
        RecordingLog log;
        OpenLink(x.trace, state, log);
        EXPECT_EQ(state.LinkState, 1);
        EXPECT_EQ(state.FirmwareVersion, static_cast<uint32_t>(firmware));
        EXPECT_EQ(state.HardwareModel, model);
        EXPECT_EQ(log.lines, (Lines{" ", " Q6K USB ", " Firmware Version: " + std::to_string(firmware),
                                    " Software Version: 1.006"}));
        EXPECT_EQ(x.trace.Lines(),
                  (Lines{"open", "reset", "purge 3", "timeouts 1000/1000", "write 46", "queue 1",
                         "read 1: 0" + std::to_string(firmware), "purge 3"}));
    }
}

TEST(Protocol, WithoutAProgrammerTheDemonstrationModeIsLogged) {
    SimulatedLink::Options gone;
    gone.present = false;
    SimulatedLink sim(gone);
    ConnectionState state;
    RecordingLog log;
    OpenLink(sim, state, log);
    EXPECT_EQ(state.LinkState, 0);
    EXPECT_EQ(state.HardwareModel, 24);
    EXPECT_EQ(log.lines, (Lines{" ", " **** NO PROGRAMMER FOUND ****",
                                " **** System in Q6KUSB DEMO mode  ****"}));
}

TEST(Protocol, ReconnectWithTheProgrammerGoneIsModel65) {
    SimulatedLink sim{test::SimOptions()};
    ConnectionState state;
    RecordingLog log;
    OpenLink(sim, state, log);
    ASSERT_EQ(state.LinkState, 1);
    sim.options().present = false;  // unplugged
    log.lines.clear();
    ReopenLink(sim, state, log);
    EXPECT_EQ(state.LinkState, 0);
    EXPECT_EQ(state.HardwareModel, 65);
    EXPECT_EQ(log.lines.size(), 3u);
    sim.options().present = true;  // and back
    ReopenLink(sim, state, log);
    EXPECT_EQ(state.LinkState, 1);
    EXPECT_EQ(state.HardwareModel, 40);
}

TEST(Protocol, HandshakeWantsGo) {
    Exchange x;
    x.sim.programmer().InsertChip(test::MakeRecord('E', 0xFF));
    EXPECT_TRUE(Handshake(x.trace, 'E'));
    x.sim.Purge(kPurgeRxTx);
    x.sim.programmer().Reset();
    x.sim.programmer().faults.wrongHandshake = true;
    EXPECT_FALSE(Handshake(x.trace, 'E'));
    x.sim.programmer().faults.silent = true;
    EXPECT_FALSE(Handshake(x.trace, 'P'));
}

}  // namespace
}  // namespace kardo
