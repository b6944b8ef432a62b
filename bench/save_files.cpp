// SPDX-License-Identifier: GPL-3.0-or-later
// Saving 512 KiB as Intel HEX and as S-records from the real program's save path (the
// progress window included, offscreen), side by side in one run with the whole process
// of srec_cat converting the same bytes from a binary file.
// Target: our save in less than half of srec_cat's time.
#include <QApplication>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "common/forms/Dialogs.h"
#include "fileio/FileWriter.h"
#include "fileio/forms/QtFileIoHost.h"
#include "support/DataFiles.h"
#include "support/Records.h"
#include "support/TempDir.h"

namespace {

using namespace kardo;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kDataSize = 512 * 1024;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double Milliseconds(Clock::time_point since) {
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    test::TempDir dir;
    const DeviceRecord record = test::MakeRecord('E', kDataSize - 1);
    DeviceBuffer buffer(0x80000);
    const auto data = test::PatternBytes(kDataSize, 5);
    std::copy(data.begin(), data.end(), buffer.data());
    test::WriteBytes(dir / "data.bin", data);

    QWidget window;
    QtDialogs dialogs;
    QtFileIoHost host({window, dialogs, [](const std::string&) {}, [] {}});
    const bool haveSrecCat = std::system("command -v srec_cat >/dev/null 2>&1") == 0;
    if (!haveSrecCat) {
        std::printf("srec_cat is not installed (Debian package srecord): our times only\n");
    }
    for (const auto& [fileFormat, name, srecFormat] :
         {std::tuple{format::IntelHex, "Intel HEX", "-intel"},
          std::tuple{format::Motorola, "S-records", "-motorola"}}) {
        std::vector<double> ours, theirs;
        const auto out = dir / "ours.txt";
        const std::string command = "srec_cat '" + (dir / "data.bin").string() + "' -binary -o '" +
                                    (dir / "theirs.txt").string() + "' " + srecFormat;
        for (int i = 0; i < 15; ++i) {
            const auto start = Clock::now();
            if (!SaveFile({out, record, fileFormat, 0, kDataSize - 1}, buffer, host).ok()) {
                std::printf("our save failed\n");
                return 1;
            }
            ours.push_back(Milliseconds(start));
            if (haveSrecCat) {
                const auto started = Clock::now();
                if (std::system(command.c_str()) != 0) {
                    std::printf("srec_cat failed\n");
                    return 1;
                }
                theirs.push_back(Milliseconds(started));
            }
        }
        const double a = Median(ours);
        std::printf("%s, 512 KiB: our save %.1f ms", name, a);
        if (haveSrecCat) {
            const double b = Median(theirs);
            std::printf(
                ", srec_cat process %.1f ms (median of 15 each); ours is %.0f%% of srec_cat's "
                "(target: below 50%%)",
                b, 100.0 * a / b);
        }
        std::printf("\n");
    }
    return 0;
}
