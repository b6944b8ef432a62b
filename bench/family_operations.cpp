// SPDX-License-Identifier: GPL-3.0-or-later
// A full PIC16F877A program (code, data EEPROM, ID and configuration, each verified) and
// an ATmega328P program (erase, code, verify, fuses) and read, against the virtual
// programmer with no latency: the host's processor time per operation, on the worker's
// own thread, so waits of the protocol cost nothing here. Target: under 50 ms each.
// Run: build-test/bench/bench_families (figures are the medians of five repetitions).
#include <benchmark/benchmark.h>

#include <ctime>

#include "support/OperationBench.h"
#include "support/ShippedRecords.h"

namespace {

using namespace kardo;

double ThreadCpuMilliseconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Runs `operation` on a fresh bench made by `make` per iteration; reports host CPU.
template <typename Make>
void Measure(benchmark::State& state, Make make, char operation, uint8_t progBits) {
    double cpu = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto bench = make();
        bench->progBits = progBits;
        state.ResumeTiming();
        const double start = ThreadCpuMilliseconds();
        bench->Run(operation);
        cpu += ThreadCpuMilliseconds() - start;
        if (bench->errors != 0) {
            state.SkipWithError("the operation failed");
        }
    }
    state.counters["host_cpu_ms"] = cpu / static_cast<double>(state.iterations());
}

std::unique_ptr<test::OperationBench> WithProgram(const char* part) {
    auto bench = std::make_unique<test::OperationBench>(test::ShippedRecord(part));
    const auto size = static_cast<std::size_t>(bench->record.Size());
    bench->Put(0, test::PatternOf(size));
    return bench;
}

void Pic16F877AProgramAllAreas(benchmark::State& state) {
    Measure(
        state,
        [] {
            auto bench = WithProgram("PIC16F877A");
            bench->Put(0x4200, test::PatternOf(512, 5));
            return bench;
        },
        'P', 0x17);
}

void Atmega328PProgram(benchmark::State& state) {
    Measure(
        state, [] { return WithProgram("ATmega328P"); }, 'P', 0x41);
}

void Atmega328PRead(benchmark::State& state) {
    Measure(
        state,
        [] {
            auto bench = WithProgram("ATmega328P");
            bench->chip().memory = bench->Bytes(0, 0x8000);
            return bench;
        },
        'R', 0x01);
}

BENCHMARK(Pic16F877AProgramAllAreas)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(Atmega328PProgram)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(Atmega328PRead)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
