// SPDX-License-Identifier: GPL-3.0-or-later
// The hex editor on a 1 MiB buffer: the checksum it recomputes after every typed byte,
// for each family's rule (target: under 1 ms), and the time to show a page, to type a
// byte (page and checksum) and to search the whole buffer for a pattern it ends with.
// Run: build-bench/bench/bench_hexeditor (figures are medians of five repetitions).
#include <benchmark/benchmark.h>

#include <QLabel>
#include <QTableWidget>
#include <QTest>

#include "OffscreenBenchmarks.h"
#include "buffertools/HexEditorModel.h"
#include "buffertools/forms/THexEditor.h"
#include "devicedb/Checksum.h"
#include "support/Records.h"
#include "support/forms/ScriptedDialogs.h"

namespace {

using namespace kardo;

constexpr std::size_t kMiB = 0x100000;

DeviceBuffer Pattern() {
    DeviceBuffer buffer(kMiB);
    for (std::size_t i = 0; i < kMiB; ++i) {
        buffer[i] = static_cast<uint8_t>(i * 7 + (i >> 8));
    }
    return buffer;
}

void ChecksumOfOneMiB(benchmark::State& state, char family, uint16_t dataWidth) {
    DeviceRecord record = test::MakeRecord(family, kMiB - 1);
    record.SetU16(field::DataWidth, dataWidth);
    const DeviceBuffer buffer = Pattern();
    for (auto _ : state) {
        benchmark::DoNotOptimize(ComputeChecksum(record, buffer));
    }
}

#define CHECKSUM(name, family, width)                        \
    BENCHMARK_CAPTURE(ChecksumOfOneMiB, name, family, width) \
        ->Unit(benchmark::kMillisecond)                      \
        ->Repetitions(5)                                     \
        ->ReportAggregatesOnly(true)
CHECKSUM(pic_words_C, 'C', 0);
CHECKSUM(bytes_E, 'E', 8);
CHECKSUM(low_first_words_O, 'O', 0);
CHECKSUM(fuse_map_P, 'P', 0);
CHECKSUM(serial_8bit_S, 'S', 8);
CHECKSUM(serial_16bit_S, 'S', 16);

// The editor window on a 1 MiB EEPROM image, shown offscreen.
struct Editor {
    DeviceRecord record = test::MakeRecord('E', kMiB - 1);
    DeviceBuffer buffer = Pattern();
    HexEditorModel model{buffer, kMiB};
    test::ScriptedDialogs dialogs;
    THexEditor window{model, record, [this] { return ComputeChecksum(record, buffer); }, dialogs,
                      nullptr};
    QTableWidget* hex = window.findChild<QTableWidget*>("StringGrid1");
    Editor() {
        window.show();
        QApplication::processEvents();
    }
};

// Page Down and back, each with the page drawn.
void ShowAPage(benchmark::State& state) {
    Editor e;
    bool down = true;
    for (auto _ : state) {
        QTest::keyClick(e.hex, down ? Qt::Key_PageDown : Qt::Key_PageUp);
        e.window.repaint();
        down = !down;
    }
}
BENCHMARK(ShowAPage)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// A hex digit typed: the byte stored, the page and the checksum of the whole buffer shown.
void TypeAByte(benchmark::State& state) {
    Editor e;
    for (auto _ : state) {
        QTest::keyClick(e.hex, 'a');
        e.window.repaint();
    }
}
BENCHMARK(TypeAByte)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void SearchOneMiB(benchmark::State& state) {
    DeviceBuffer buffer = Pattern();
    const std::vector<uint8_t> pattern{0xDE, 0xAD, 0xBE, 0xEF};
    std::copy(pattern.begin(), pattern.end(), buffer.data() + kMiB - 4);
    HexEditorModel model(buffer, kMiB);
    for (auto _ : state) {
        benchmark::DoNotOptimize(model.FindFromStart(pattern));
    }
}
BENCHMARK(SearchOneMiB)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
    return RunOffscreenBenchmarks(argc, argv);
}
