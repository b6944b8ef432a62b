// SPDX-License-Identifier: GPL-3.0-or-later
// Loading 512 KiB of data from Intel HEX, S-records and binary, with the progress
// window of the real program drawn as it moves (offscreen), and, side by side in one
// run, our load of the Intel HEX file (about 1.2 MB) against the whole process of
// `srec_cat IN -intel -o OUT -binary` on the same file.
// Target: our load in less than half of srec_cat's time.
#include "OffscreenBenchmarks.h"

#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "common/forms/Dialogs.h"
#include "fileio/FileLoader.h"
#include "fileio/forms/QtFileIoHost.h"
#include "support/DataFiles.h"
#include "support/Records.h"
#include "support/TempDir.h"

namespace {

using namespace kardo;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kDataSize = 512 * 1024;

struct Files {
    test::TempDir dir;
    Files() {
        const auto data = test::PatternBytes(kDataSize, 5);
        const std::string hex = test::IntelHexText(0, data);
        const std::string srec = test::SRecordText(0, data);
        test::WriteBytes(dir / "data.hex", {hex.begin(), hex.end()});
        test::WriteBytes(dir / "data.mot", {srec.begin(), srec.end()});
        test::WriteBytes(dir / "data.bin", data);
    }
};

Files& TheFiles() {
    static Files files;
    return files;
}

// One load as the Load button makes it: into a 512 KiB EEPROM, the progress window up.
double LoadMilliseconds(const char* name, uint8_t fileFormat) {
    static QWidget window;
    static QtDialogs dialogs;
    QtFileIoHost host({window, dialogs, [](const std::string&) {}, [] {}});
    const DeviceRecord record = test::MakeRecord('E', kDataSize - 1);
    FileSettings settings;
    settings.format = fileFormat;
    DeviceBuffer buffer;
    const auto start = Clock::now();
    const uint8_t result = LoadFile({TheFiles().dir / name, record, settings}, buffer, host);
    const auto took = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    if (result != load::Ok) {
        std::fprintf(stderr, "load of %s failed: %u\n", name, unsigned{result});
        std::exit(1);
    }
    return took;
}

void Load(benchmark::State& state, const char* name, uint8_t fileFormat) {
    for (auto _ : state) {
        state.SetIterationTime(LoadMilliseconds(name, fileFormat) / 1000.0);
    }
}
BENCHMARK_CAPTURE(Load, IntelHex, "data.hex", format::IntelHex)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);
BENCHMARK_CAPTURE(Load, SRecords, "data.mot", format::Motorola)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);
BENCHMARK_CAPTURE(Load, Binary, "data.bin", format::Binary)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Alternating runs, so that both see the same state of the machine.
void CompareWithSrecCat() {
    const auto in = TheFiles().dir / "data.hex";
    const auto out = TheFiles().dir / "srec_cat.bin";
    const std::string command =
        "srec_cat '" + in.string() + "' -intel -o '" + out.string() + "' -binary";
    if (std::system("command -v srec_cat >/dev/null 2>&1") != 0) {
        std::printf("srec_cat is not installed (Debian package srecord): no comparison made\n");
        return;
    }
    std::vector<double> ours, theirs;
    for (int i = 0; i < 15; ++i) {
        ours.push_back(LoadMilliseconds("data.hex", format::IntelHex));
        const auto start = Clock::now();
        if (std::system(command.c_str()) != 0) {
            std::printf("srec_cat failed\n");
            return;
        }
        theirs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    const double a = Median(ours), b = Median(theirs);
    std::printf(
        "Intel HEX, %ju bytes of text: our load %.1f ms, srec_cat process %.1f ms (median of 15 "
        "each);"
        " ours is %.0f%% of srec_cat's (target: below 50%%)\n",
        static_cast<uintmax_t>(std::filesystem::file_size(in)), a, b, 100.0 * a / b);
}

}  // namespace

int main(int argc, char** argv) {
    return RunOffscreenBenchmarks(argc, argv, CompareWithSrecCat);
}
