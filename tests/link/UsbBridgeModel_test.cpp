// SPDX-License-Identifier: GPL-3.0-or-later
// The USB timing model against the arithmetic of frames and packets, and its bounded
// buffers.
#include <gtest/gtest.h>

#include "link/SimulatedLink.h"
#include "support/Records.h"

namespace kardo {
namespace {

using std::chrono::nanoseconds;

constexpr int64_t kSlotNs = 1'000'000 / 19;  // one of the 19 packet slots of a 1 ms frame

// An EEPROM in EEPROM write mode behind a modelled bridge with an instant programmer.
struct BlockBench {
    explicit BlockBench(std::chrono::milliseconds latency) {
        UsbTiming timing;
        timing.latency = latency;
        timing.programmerPerByte = nanoseconds(0);
        timing.hostCall = nanoseconds(0);  // reads answered from the host's queue are free
        options.usb = timing;
        link.emplace(options);
        link->OpenEx(kProgrammerDescription);
        link->SetTimeouts(4000, 4000);
        link->programmer().InsertChip(test::MakeRecord('E', 0xFFF));
        const uint8_t mode[] = {'E'};
        const uint8_t write[] = {'W'};
        std::size_t n = 0;
        uint8_t go[2];
        link->Write(mode, 1, n);
        link->Read(go, 2, n);
        link->Write(write, 1, n);
    }
    // One block out and its 128 acknowledgement bytes back, in 8-byte reads.
    nanoseconds Block(std::vector<uint8_t>& acks) {
        const nanoseconds start = link->clock();
        std::vector<uint8_t> block(128);
        for (std::size_t i = 0; i < block.size(); ++i) {
            block[i] = static_cast<uint8_t>(i * 7);
        }
        std::size_t n = 0;
        link->Write(block.data(), block.size(), n);
        for (int unit = 0; unit < 16; ++unit) {
            uint8_t bytes[8];
            link->Read(bytes, 8, n);
            acks.insert(acks.end(), bytes, bytes + n);
        }
        return link->clock() - start;
    }
    SimulatedLink::Options options;
    std::optional<SimulatedLink> link;
};

TEST(UsbBridgeModel, OneBlockTakesItsPacketsAndOneLatencyTimer) {
    for (const int latencyMs : {1, 16}) {
        BlockBench b{std::chrono::milliseconds(latencyMs)};
        std::vector<uint8_t> acks;
        const nanoseconds took = b.Block(acks);
        // Out: 128 bytes are two 64-byte packets, slots 0 and 1. Back: 128 bytes with 2
        // status bytes a packet are 62 + 62 + 4; the full packets go at once (slots 2 and
        // 3), the 4 bytes wait for the latency timer that the packet of slot 3 started,
        // and take the slot after it: 3 + latency frames of 19 slots, ending one slot on.
        const int64_t slots = 3 + 19 * latencyMs + 1;
        EXPECT_NEAR(static_cast<double>(took.count()), static_cast<double>(slots * kSlotNs),
                    static_cast<double>(slots))
            << latencyMs;
        ASSERT_EQ(acks.size(), 128u);
        for (std::size_t i = 0; i < acks.size(); ++i) {
            ASSERT_EQ(acks[i], static_cast<uint8_t>(i * 7));  // each byte acknowledged as itself
        }
        EXPECT_EQ(b.link->programmer().chip().memory[5], 35);
    }
}

TEST(UsbBridgeModel, AStreamIsPacedByTheBridgesBufferAndArrivesWhole) {
    // A 4 KiB read-back from a programmer that needs 10 us a byte: the host asks for it in
    // 8-byte units; it comes no faster than the programmer sends and no byte is lost,
    // however full the bridge's 256-byte buffer gets.
    UsbTiming timing;
    timing.latency = std::chrono::milliseconds(1);
    timing.programmerPerByte = std::chrono::microseconds(10);
    SimulatedLink::Options options;
    options.usb = timing;
    SimulatedLink link(options);
    link.OpenEx(kProgrammerDescription);
    link.SetTimeouts(500, 500);
    link.programmer().InsertChip(test::MakeRecord('E', 0xFFF));
    auto& memory = link.programmer().chip().memory;
    for (std::size_t i = 0; i < memory.size(); ++i) {
        memory[i] = static_cast<uint8_t>(i ^ (i >> 8));
    }
    std::size_t n = 0;
    const uint8_t commands[] = {'E', 'R'};
    uint8_t go[2];
    link.Write(commands, 1, n);
    link.Read(go, 2, n);
    const nanoseconds start = link.clock();
    link.Write(commands + 1, 1, n);
    std::vector<uint8_t> got;
    for (std::size_t unit = 0; unit < memory.size() / 8; ++unit) {
        uint8_t bytes[8];
        link.Read(bytes, 8, n);
        got.insert(got.end(), bytes, bytes + n);
    }
    EXPECT_EQ(got, memory);
    const nanoseconds took = link.clock() - start;
    EXPECT_GE(took, std::chrono::microseconds(10) * 4097);  // the command byte and the data
    EXPECT_LT(took, std::chrono::microseconds(10) * 4097 + std::chrono::milliseconds(2));
}

}  // namespace
}  // namespace kardo
