// SPDX-License-Identifier: GPL-3.0-or-later
// kardo-db: compiles the device database sources into the files the program reads,
// and turns such a file back into source.
//
//   kardo-db build SOURCE.toml OUT.usb
//   kardo-db dump FILE.usb
//   kardo-db check-avr FILE.usb   holds every AVR record against avr-libc (needs avr-gcc)
#include <iostream>
#include <string>

#include "AvrLibcCheck.h"
#include "DatabaseSource.h"
#include "common/FileBytes.h"
#include "common/SafeWrite.h"

namespace {

int Usage() {
    std::cerr << "usage: kardo-db build SOURCE.toml OUT.usb\n"
                 "       kardo-db dump FILE.usb\n"
                 "       kardo-db check-avr FILE.usb\n";
    return 2;
}

// Prints every disagreement with avr-libc, and succeeds only when there is none. A part
// the toolchain could not be asked about is a disagreement, never a pass.
int CheckAvr(const char* file, const std::vector<uint8_t>& bytes) {
    const auto report = kardo::dbsource::CheckAvrRecords(bytes);
    for (const std::string& problem : report.problems) {
        std::cout << problem << "\n";
    }
    std::cout << file << ": " << report.checked << " AVR record(s) read from avr-libc, "
              << report.problems.size() << " problem(s)\n";
    return report.problems.empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace kardo::dbsource;
    if (argc < 3) {
        return Usage();
    }
    const std::string verb = argv[1];
    if ((verb == "build" && argc != 4) || ((verb == "dump" || verb == "check-avr") && argc != 3) ||
        (verb != "build" && verb != "dump" && verb != "check-avr")) {
        return Usage();
    }
    // A folder or a failed read is refused, rather than compiled into an empty database.
    const kardo::FileBytes read = kardo::ReadFileBytes(argv[2]);
    if (!read.ok()) {
        std::cerr << "kardo-db: cannot read " << argv[2] << ": " << read.error << "\n";
        return 1;
    }
    if (verb == "check-avr") {
        return CheckAvr(argv[2], read.bytes);
    }
    const std::string input(read.bytes.begin(), read.bytes.end());
    try {
        if (verb == "build") {
            // A failed write never leaves a part of a database under the output's name.
            if (const std::string why = kardo::WriteFileSafely(argv[3], Build(input));
                !why.empty()) {
                std::cerr << "kardo-db: cannot write " << argv[3] << ": " << why << "\n";
                return 1;
            }
        } else {
            std::cout << Dump(read.bytes);
            std::cout.flush();
            if (!std::cout) {
                std::cerr << "kardo-db: cannot write the dump to standard output\n";
                return 1;
            }
        }
    } catch (const SourceError& e) {
        std::cerr << "kardo-db: " << argv[2] << ": " << e.message << "\n";
        return 1;
    }
    return 0;
}
