// SPDX-License-Identifier: GPL-3.0-or-later
// The whole process of `kardo-cli checksum` on a 32 KiB Intel HEX file beside the whole
// process of `srec_cat IN -intel -o OUT -binary` on the same file, alternating in one
// run: a script pays for the start-up of every command it runs.
// Target: kardo-cli in less time than srec_cat.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "WholeProcess.h"
#include "support/DataFiles.h"
#include "support/TempDir.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRuns = 31;

// Milliseconds of one process from its start to its end; -1 when it failed.
double RunMilliseconds(std::vector<std::string> words) {
    const auto took = kardo::bench::TimeWholeProcess(std::move(words));
    return took ? took->wall : -1;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main() {
    kardo::test::TempDir dir;
    const auto in = dir / "data.hex";
    const std::string hex = kardo::test::IntelHexText(0, kardo::test::PatternBytes(0x8000, 7));
    kardo::test::WriteBytes(in, {hex.begin(), hex.end()});
    const std::vector<std::string> ours{KARDO_CLI,   "checksum", "ATMEL/AT28C256",
                                        in.string(), "--db-dir", KARDO_DATA_DIR};
    const std::vector<std::string> theirs{
        "srec_cat", in.string(), "-intel", "-o", (dir / "out.bin").string(), "-binary"};
    std::vector<double> ourTimes, theirTimes;
    for (int i = 0; i < kRuns; ++i) {
        ourTimes.push_back(RunMilliseconds(ours));
        theirTimes.push_back(RunMilliseconds(theirs));
        if (ourTimes.back() < 0 || theirTimes.back() < 0) {
            std::printf("%s failed (srec_cat comes with the Debian package srecord)\n",
                        ourTimes.back() < 0 ? "kardo-cli checksum" : "srec_cat");
            return 1;
        }
    }
    const double a = Median(ourTimes), b = Median(theirTimes);
    std::printf(
        "32 KiB as Intel HEX (%zu bytes), whole process, median of %d alternating runs:\n"
        "  kardo-cli checksum  %.2f ms\n  srec_cat to binary  %.2f ms\n"
        "  kardo-cli takes %.0f%% of srec_cat's time (target: below 100%%)\n",
        hex.size(), kRuns, a, b, 100 * a / b);
    return 0;
}
