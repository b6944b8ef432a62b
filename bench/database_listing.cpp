// SPDX-License-Identifier: GPL-3.0-or-later
// Listing a large device database, at 1,000, 5,000 and 20,000 devices (80 to a
// manufacturer, so a larger database also has more manufacturers, as a real one grows):
//   - the whole process of `kardo-cli devices`,
//   - the listing it builds, in this process,
//   - the selection dialog from show() until its lists are filled, on the last
//     manufacturer (the one the most blocks lie before),
//   - the dialog's search over every manufacturer, from a typed letter until its matches
//     are listed.
// Each figure is the median of several runs. Target: `devices` on 20,000 devices under
// 50 ms, the dialog as fast, and every figure growing in step with the device count.
// The databases are written here, not kept as files.
#include <time.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "WholeProcess.h"
#include "cli/DeviceLookup.h"
#include "devicedb/DeviceDatabase.h"
#include "devicedb/DeviceRecordLayout.h"
#include "devicedb/forms/TfrmSelectDevice.h"
#include "support/TempDir.h"
#include "support/forms/ScriptedDialogs.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kDevicesPerManufacturer = 80;

// A micro-controller database file of `devices` records: the header, one entry per
// manufacturer, then the blocks. Every record is an 'E' part of 32 KB, named by its
// manufacturer and place so that the names differ.
std::vector<uint8_t> DatabaseOf(int devices) {
    const int manufacturers = (devices + kDevicesPerManufacturer - 1) / kDevicesPerManufacturer;
    std::vector<uint8_t> bytes(16, 0);
    bytes[13] = static_cast<uint8_t>(manufacturers);
    for (int m = 0; m < manufacturers; ++m) {
        std::vector<uint8_t> entry(16, 0);
        std::string name = "MAKER";
        name += std::to_string(m);
        std::copy(name.begin(), name.end(), entry.begin() + 1);
        bytes.insert(bytes.end(), entry.begin(), entry.end());
    }
    for (int m = 0, left = devices; m < manufacturers; ++m) {
        const int count = std::min(left, kDevicesPerManufacturer);
        left -= count;
        bytes.insert(bytes.end(), {0, 0, static_cast<uint8_t>(count), 0});
        for (int k = 0; k < count; ++k) {
            std::vector<uint8_t> record(kardo::kRecordSize, 0);
            record[1] = 'E';
            std::string name = "P";
            name += std::to_string(m);
            name += "X";
            name += std::to_string(k);
            std::copy(name.begin(), name.end(), record.begin() + 2);
            record[38] = 0xFF;  // LastAddress 0x7FFF
            record[39] = 0x7F;
            bytes.insert(bytes.end(), record.begin(), record.end());
        }
    }
    return bytes;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

using kardo::bench::Took;

Took Median(const std::vector<Took>& runs) {
    std::vector<double> wall, cpu;
    for (const Took& t : runs) {
        wall.push_back(t.wall);
        cpu.push_back(t.cpu);
    }
    return {Median(wall), Median(cpu)};
}

double ProcessCpuMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

Took Milliseconds(const std::function<void()>& work) {
    const auto start = Clock::now();
    const double cpuStart = ProcessCpuMilliseconds();
    work();
    return {std::chrono::duration<double, std::milli>(Clock::now() - start).count(),
            ProcessCpuMilliseconds() - cpuStart};
}

struct Figures {
    Took cli, listing, dialog, search;
    std::size_t listed = 0;
};

Figures Measure(int devices, int runs) {
    kardo::test::TempDir dir;
    kardo::test::WriteBytes(dir / kardo::kMicroDatabase, DatabaseOf(devices));
    Figures figures;
    std::vector<Took> cli, listing, dialog, search;
    for (int i = 0; i < runs; ++i) {
        const auto process =
            kardo::bench::TimeWholeProcess({KARDO_CLI, "devices", "--db-dir", dir.path().string()});
        if (!process) {
            std::printf("kardo-cli devices failed on %d devices\n", devices);
            std::exit(1);
        }
        cli.push_back(*process);
        listing.push_back(Milliseconds(
            [&] { figures.listed = kardo::cli::ReadDeviceListing(dir.path()).All().size(); }));

        std::string filename = kardo::kMicroDatabase;
        int manufacturer = (devices - 1) / kDevicesPerManufacturer, device = 0;
        std::string deviceName;
        kardo::test::ScriptedDialogs dialogs;
        kardo::TfrmSelectDevice form({filename, manufacturer, device, deviceName},
                                     kardo::kMicroDatabasePresent, dir.path(), dialogs, nullptr);
        dialog.push_back(Milliseconds([&] {
            form.show();
            QApplication::processEvents();
        }));
        form.findChild<QCheckBox*>("AllManufacturers")->setChecked(true);
        search.push_back(Milliseconds([&] {
            form.findChild<QLineEdit*>("SearchEdit")->setText("X7");
            QApplication::processEvents();
        }));
        if (form.findChild<QListWidget*>("ListBox2")->count() == 0) {
            std::printf("the dialog's search found nothing on %d devices\n", devices);
            std::exit(1);
        }
    }
    figures.cli = Median(cli);
    figures.listing = Median(listing);
    figures.dialog = Median(dialog);
    figures.search = Median(search);
    return figures;
}

std::string Cell(const Took& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%8.2f (%6.2f)", t.wall, t.cpu);
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    constexpr int kRuns = 11;
    std::printf(
        "Device database listing, 80 devices a manufacturer: median of %d runs in\n"
        "milliseconds of wall clock (and of processor time)\n",
        kRuns);
    std::printf("%8s %19s %19s %19s %19s\n", "devices", "cli devices", "listing only",
                "dialog open", "dialog search");
    for (int devices : {1000, 5000, 20000}) {
        const Figures f = Measure(devices, kRuns);
        if (f.listed != static_cast<std::size_t>(devices)) {
            std::printf("%zu devices listed of %d\n", f.listed, devices);
            return 1;
        }
        std::printf("%8d %19s %19s %19s %19s\n", devices, Cell(f.cli).c_str(),
                    Cell(f.listing).c_str(), Cell(f.dialog).c_str(), Cell(f.search).c_str());
    }
    std::printf(
        "Target: cli devices on 20,000 devices below 50 ms, the dialog as fast, each\n"
        "figure growing in step with the device count.\n");
    return 0;
}
