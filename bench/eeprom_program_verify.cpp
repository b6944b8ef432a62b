// SPDX-License-Identifier: GPL-3.0-or-later
// Program + Verify of a 512 KiB EEPROM against the virtual programmer with no latency:
// the host's own time (the protocol's fixed 150 ms pause after the last block left out),
// and how many updates the user interface received for it in the real main window.
// Target: under 100 ms of host time, at most a few hundred UI updates.
#include "OffscreenBenchmarks.h"

#include <chrono>
#include <ctime>

#include "algorithms/OperationDispatch.h"
#include "devicedb/BufferRules.h"
#include "link/SimulatedLink.h"
#include "support/RecordingHost.h"
#include "support/TestDatabases.h"
#include "support/forms/MainWindowFixture.h"
#include "support/forms/UserActions.h"

namespace {

using namespace kardo;

constexpr int32_t kLastAddress = 0x7FFFF;  // 512 KiB

double ThreadCpuMilliseconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// The family algorithm alone, on this thread, with a host that only counts.
void ProgramVerifyCore(benchmark::State& state) {
    DeviceRecord record;
    record.SetU8(field::Family, 'E');
    record.SetI32(field::LastAddress, kLastAddress);
    record.SetText(field::Name, "AT28C040");
    DeviceBuffer buffer(*BufferSizeFor(record));
    for (std::size_t i = 0; i < buffer.BufferSize(); ++i)
        buffer[i] = static_cast<uint8_t>(i * 31);
    double cpu = 0;
    for (auto _ : state) {
        SimulatedLink sim;
        sim.OpenEx("Q6K USB");
        sim.programmer().InsertChip(record);
        test::RecordingHost host;
        char code = 'P';
        std::atomic<uint8_t> errors{0};
        std::atomic<bool> running{true};
        uint8_t progBits = 0;
        OperationContext context(record, buffer, code, errors, running, sim, 3, host,
                                 OperationChoices{progBits, false, {}});
        const double start = ThreadCpuMilliseconds();
        RunOperation(context);
        cpu += ThreadCpuMilliseconds() - start;
        if (errors != 0 || host.lines.back() != " Verified OK")
            state.SkipWithError("failed");
    }
    state.counters["host_cpu_ms"] = cpu / static_cast<double>(state.iterations());
}
BENCHMARK(ProgramVerifyCore)->Unit(benchmark::kMillisecond)->Iterations(5);

// The same from the Program button of the real window: the UI updates it costs.
void ProgramVerifyWindow(benchmark::State& state) {
    test::TempDir dir;
    test::WriteDatabase(dir / "KARDO_e.usb", R"(
[[manufacturer]]
name = "ATMEL"
[[manufacturer.device]]
Name = "AT28C040"
Family = "E"
Vcc = 5.0
LastAddress = 0x7FFFF
BlankValue = 0xFF
ButtonMask = 0xE7
)");
    auto link = std::make_unique<SimulatedLink>();
    SimulatedLink* sim = link.get();
    test::MainWindowFixture f(std::move(link), dir.path(),
                              [sim](const DeviceRecord& r) { sim->programmer().InsertChip(r); });
    f.Select("RadioButton2", 0, 0);
    int updates = 0;
    for (auto _ : state) {
        f.Operate("SB_Prog");
        updates = f.window().LastOperationUiUpdates();
        if (!f.log().contains(" Verified OK"))
            state.SkipWithError("failed");
    }
    state.counters["ui_updates"] = updates;
}
BENCHMARK(ProgramVerifyWindow)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    return RunOffscreenBenchmarks(argc, argv);
}
