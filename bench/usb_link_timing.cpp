// SPDX-License-Identifier: GPL-3.0-or-later
// How long three operations take over USB, on the bridge timing model: a 512 KiB EEPROM
// Program+Verify, a full PIC16F877A program with verify and an ATmega328P program with
// verify. For each: the modelled time with the bridge's latency timer as it comes (16 ms)
// and as our USB link sets it (1 ms), beside the least the protocol and the wire allow:
// every byte at full speed (1216 bytes a frame; 62 data bytes a packet towards the host),
// one frame for every wait for a reply, and the chip's own write time. The protocol's
// fixed pauses (150 ms after an EEPROM program) are host sleeps, outside both figures.
// Target: the tuned link within 1.5x of that bound. Run: build-bench/bench/bench_usb_link
#include <cstdio>

#include "link/FtdiLink.h"
#include "support/OperationBench.h"
#include "support/ShippedRecords.h"

namespace {

using namespace kardo;
using std::chrono::microseconds;
using std::chrono::nanoseconds;

struct Case {
    const char* title;
    const char* part;
    char operation;
    uint8_t progBits;
    // The chip's write time per byte stored, from its datasheet.
    nanoseconds chipWritePerByte;
};

// AT28C040: a 10 ms write cycle per 256-byte page. PIC16F877A: 4 ms (typical) per
// self-timed write of 8 code words, 16 buffer bytes. ATmega328P: 4.5 ms per 128-byte
// flash page.
constexpr Case kCases[] = {
    {"512 KiB EEPROM Program+Verify", "AT28C040", 'P', 0, nanoseconds(10'000'000 / 256)},
    {"PIC16F877A program + verify", "PIC16F877A", 'P', 0x17, nanoseconds(4'000'000 / 16)},
    {"ATmega328P program + verify", "ATmega328P", 'P', 0x41, nanoseconds(4'500'000 / 128)},
};

struct Result {
    double modelledMs = 0;
    double boundMs = 0;
    double chipMs = 0;
    bool ok = false;
};

Result Run(const Case& c, std::chrono::milliseconds latency) {
    SimulatedLink::Options options;
    UsbTiming timing;
    timing.latency = latency;
    timing.readChunk = FtdiLink::kReadChunk;
    timing.writeChunk = FtdiLink::kWriteChunk;
    timing.chipWritePerByte = c.chipWritePerByte;
    options.usb = timing;
    test::OperationBench bench(test::ShippedRecord(c.part), 3, options);
    bench.progBits = c.progBits;
    const auto size = static_cast<std::size_t>(bench.record.Size());
    bench.Put(0, test::PatternOf(size));
    if (c.part == std::string("PIC16F877A")) {
        bench.Put(0x4200, test::PatternOf(512, 5));  // the data EEPROM
    }
    const nanoseconds start = bench.sim.clock();
    bench.Run(c.operation);
    Result r;
    r.modelledMs = static_cast<double>((bench.sim.clock() - start).count()) / 1e6;
    r.ok = bench.errors == 0;

    // The bound, from what went over the wire.
    std::size_t out = 0;
    std::size_t in = 0;
    int replies = 0;
    bool wrote = false;
    for (const TraceEvent& e : bench.trace.events()) {
        if (e.kind == TraceEvent::Kind::Write) {
            out += e.bytes.size();
            wrote = true;
        } else if (e.kind == TraceEvent::Kind::Read) {
            in += e.bytes.size();
            replies += wrote ? 1 : 0;  // a read after a write waits for a reply
            wrote = false;
        }
    }
    const double bytesPerMs = UsbBridgeModel::kSlotsPerFrame * UsbBridgeModel::kPacket;
    const double inWire = static_cast<double>(in) * UsbBridgeModel::kPacket /
                          static_cast<double>(UsbBridgeModel::kPacketData);
    r.chipMs = static_cast<double>(bench.sim.programmer().chipBytesWritten()) *
               static_cast<double>(c.chipWritePerByte.count()) / 1e6;
    r.boundMs = (static_cast<double>(out) + inWire) / bytesPerMs + replies + r.chipMs;
    return r;
}

}  // namespace

int main() {
    // The last column leaves the chip's write time out of both: the link's own share.
    std::printf("%-32s %12s %12s %12s %12s %9s %9s\n", "operation", "16 ms", "1 ms (ours)", "bound",
                "of it chip", "ours/bnd", "link only");
    bool allOk = true;
    for (const Case& c : kCases) {
        const Result slow = Run(c, std::chrono::milliseconds(16));
        const Result tuned = Run(c, std::chrono::milliseconds(FtdiLink::kLatencyMs));
        allOk = allOk && slow.ok && tuned.ok;
        std::printf("%-32s %10.0f ms %10.0f ms %10.0f ms %10.0f ms %8.2fx %8.2fx\n", c.title,
                    slow.modelledMs, tuned.modelledMs, tuned.boundMs, tuned.chipMs,
                    tuned.modelledMs / tuned.boundMs,
                    (tuned.modelledMs - tuned.chipMs) / (tuned.boundMs - tuned.chipMs));
    }
    if (!allOk) {
        std::printf("an operation failed\n");
        return 1;
    }
    return 0;
}
