// SPDX-License-Identifier: GPL-3.0-or-later
// A gang on one USB bus: a 512 KiB EEPROM (AT28C040) programmed and verified on 1, 2, 4 and
// 8 programmers at once, one worker thread each as kardo-cli's --all runs them, on the
// bridge timing model with the bridges' latency timers as our link sets them.
//
// How the bus is shared: the bridges hang off one full-speed bus (one hub), whose 1 ms
// frames hold 19 bulk packet slots between all of them. Each bridge's model keeps its own
// clock, and every packet it sends up or takes down claims its slot in one table of the
// bus's slots that all the models share (UsbBus); a bridge that finds its slot taken puts
// its packet in the next free one. Polls a bridge answers with nothing are a token and a
// NAK on the wire and claim no slot. Slots go first come, so the figures vary a little
// from run to run; the medians of five runs are printed, with the share of the bus's slots
// the gang used. Each bridge needs few: a block's round trip is 5 packets, and the chip
// takes 5 ms to write the 128 bytes, while the bridge sends a short packet each time its
// 1 ms latency timer runs out. Eight bridges fill about two thirds of the slots, so a
// packet seldom waits more than a slot or two for another's, and the gang's slowest
// programmer is late mostly by those waits, at every block.
//
// Target: the gang's modelled wall time (its slowest programmer) within 1.2x of one
// programmer's. The host's CPU time is the whole gang's: the workers run the algorithms
// and the models. Run: build-test/bench/bench_gang
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>
#include <thread>
#include <vector>

#include "link/FtdiLink.h"
#include "link/UsbBus.h"
#include "support/OperationBench.h"
#include "support/ShippedRecords.h"

namespace {

using namespace kardo;

constexpr int kRuns = 5;
constexpr std::chrono::nanoseconds kChipWritePerByte(10'000'000 / 256);  // 10 ms a page

struct Figures {
    double modelledMs = 0;  // the slowest programmer, on the model's clock
    double cpuMs = 0;       // the host's, all workers together
    double realMs = 0;
    double slotsUsed = 0;  // of the bus's slots in the modelled time
    bool ok = true;
};

Figures RunGang(int programmers) {
    UsbTiming timing;
    timing.latency = std::chrono::milliseconds(FtdiLink::kLatencyMs);
    timing.readChunk = FtdiLink::kReadChunk;
    timing.writeChunk = FtdiLink::kWriteChunk;
    timing.chipWritePerByte = kChipWritePerByte;
    timing.bus = std::make_shared<UsbBus>();
    SimulatedLink::Options options;
    options.usb = timing;

    std::vector<std::unique_ptr<test::OperationBench>> gang;
    for (int i = 0; i < programmers; ++i) {
        gang.push_back(
            std::make_unique<test::OperationBench>(test::ShippedRecord("AT28C040"), 3, options));
        gang.back()->Put(0, test::PatternOf(gang.back()->record.Size(), static_cast<uint8_t>(i)));
    }
    std::vector<double> took(gang.size());
    const std::clock_t cpuStart = std::clock();
    const auto realStart = std::chrono::steady_clock::now();
    std::vector<std::thread> workers;
    for (std::size_t i = 0; i < gang.size(); ++i) {
        workers.emplace_back([&, i] {
            test::OperationBench& bench = *gang[i];
            const auto start = bench.sim.clock();
            bench.Run('P');
            took[i] = static_cast<double>((bench.sim.clock() - start).count()) / 1e6;
        });
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
    Figures f;
    f.cpuMs = 1000.0 * static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    f.realMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - realStart)
            .count();
    f.modelledMs = *std::max_element(took.begin(), took.end());
    f.slotsUsed = static_cast<double>(timing.bus->claimed()) /
                  (f.modelledMs * UsbBridgeModel::kSlotsPerFrame);
    for (const auto& bench : gang) {
        f.ok = f.ok && bench->errors == 0;
    }
    return f;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main() {
    std::printf("%-12s %14s %10s %12s %12s %10s\n", "programmers", "modelled wall", "vs one",
                "host CPU", "host real", "bus load");
    double one = 0;
    bool ok = true;
    for (const int n : {1, 2, 4, 8}) {
        std::vector<double> modelled, cpu, real, load;
        for (int run = 0; run < kRuns; ++run) {
            const Figures f = RunGang(n);
            ok = ok && f.ok;
            modelled.push_back(f.modelledMs);
            cpu.push_back(f.cpuMs);
            real.push_back(f.realMs);
            load.push_back(f.slotsUsed);
        }
        const double wall = Median(modelled);
        one = n == 1 ? wall : one;
        std::printf("%-12d %11.0f ms %9.3fx %9.0f ms %9.0f ms %9.0f%%\n", n, wall, wall / one,
                    Median(cpu), Median(real), 100.0 * Median(load));
    }
    if (!ok) {
        std::printf("an operation failed\n");
        return 1;
    }
    return 0;
}
