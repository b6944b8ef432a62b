// SPDX-License-Identifier: GPL-3.0-or-later
// The device database reader on arbitrary file contents: whatever the file holds, the
// three read operations stay inside it, agree with each other and come back.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "devicedb/DeviceDatabase.h"

namespace {

using kardo::DeviceDatabase::RecordLookup;

// One scratch file per process, so that parallel fuzzing jobs do not share one. It is
// removed after each input: the fuzzer ends its process without running exit handlers.
const std::filesystem::path& ScratchFile() {
    static const std::filesystem::path file = std::filesystem::temp_directory_path() /
                                              ("kardo-fuzz-" + std::to_string(getpid()) + ".usb");
    return file;
}

void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "database reader: %s\n", what);
        __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    namespace db = kardo::DeviceDatabase;
    const auto& file = ScratchFile();
    {
        std::FILE* out = std::fopen(file.c_str(), "wb");
        Check(out != nullptr, "cannot create the scratch file");
        Check(std::fwrite(data, 1, size, out) == size && std::fclose(out) == 0,
              "cannot write the scratch file");
    }

    const auto manufacturers = db::ListManufacturers(file);
    Check(manufacturers.has_value(), "an existing file reads as missing");
    // A file the lists had to stop short in is named as cut short; a whole one is not.
    const std::string problem = db::FileProblem(file);
    Check(problem.empty() || problem.find("is cut short") == 0, "a readable file is unreadable");
    const int makerCount = static_cast<int>(manufacturers->size());
    Check(makerCount <= 255, "more manufacturers than the count byte can hold");

    // One index on each side of the list as well: those must be refused, not read.
    for (int m = -1; m <= makerCount; ++m) {
        const auto devices = db::ListDevices(file, m);
        Check(devices.has_value(), "an existing file reads as missing");
        if (m < 0) {
            Check(devices->empty(), "devices listed for a negative manufacturer");
        }
        const int deviceCount = static_cast<int>(devices->size());
        for (int k = -1; k <= deviceCount; ++k) {
            const auto lookup = db::LoadRecord(file, m, k);
            if (k < 0 || m < 0) {
                Check(lookup.status == RecordLookup::Status::NotFound,
                      "a negative index found a record");
            } else if (k < deviceCount) {
                Check(lookup.status == RecordLookup::Status::Ok ||
                          lookup.status == RecordLookup::Status::Truncated,
                      "a listed device cannot be loaded");
                Check(lookup.record.Name() == (*devices)[static_cast<std::size_t>(k)],
                      "a loaded record has another name than the list showed");
            }
        }
    }
    std::remove(file.c_str());
    return 0;
}
