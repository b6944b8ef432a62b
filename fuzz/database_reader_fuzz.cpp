// SPDX-License-Identifier: GPL-3.0-or-later
// The device database reader on arbitrary file contents: whatever the file holds, its
// index stays inside it, gives the same answers read from the file as from memory, and
// its lists and records agree with each other.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

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

bool SameLookup(const RecordLookup& a, const RecordLookup& b) {
    return a.status == b.status && a.record.bytes() == b.record.bytes();
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

    // The index read from the file, which reads only as far as the blocks go, and the
    // one over the whole contents in memory must give the same answers.
    const auto read = db::Index::Read(file);
    Check(read.has_value(), "an existing file reads as missing");
    const db::Index& index = *read;
    const db::Index whole = db::Index::FromBytes(std::vector<uint8_t>(data, data + size));
    Check(index.Manufacturers() == whole.Manufacturers(), "the manufacturers depend on the source");
    Check(index.Problem() == whole.Problem(), "the problem depends on the source");

    // A file the lists had to stop short in is named as cut short; a whole one is not.
    const std::string& problem = index.Problem();
    Check(problem.empty() || problem.find("is cut short") == 0, "a readable file is unreadable");
    Check(db::FileProblem(file) == problem, "the file's problem differs from its index's");
    Check(db::ListManufacturers(file) == index.Manufacturers(), "a single read lists other makers");
    const int makerCount = static_cast<int>(index.Manufacturers().size());
    Check(makerCount <= 255, "more manufacturers than the count byte can hold");

    // One index on each side of the list as well: those must be refused, not read.
    for (int m = -1; m <= makerCount; ++m) {
        const int deviceCount = index.DeviceCount(m);
        Check(deviceCount == whole.DeviceCount(m), "the device count depends on the source");
        if (m < 0 || m == makerCount) {
            Check(deviceCount == 0, "devices listed for a manufacturer outside the list");
        }
        for (int k = -1; k <= deviceCount; ++k) {
            const auto lookup = index.Record(m, k);
            Check(SameLookup(lookup, whole.Record(m, k)), "a record depends on the source");
            if (k < 0 || m < 0) {
                Check(lookup.status == RecordLookup::Status::NotFound,
                      "a negative index found a record");
            } else if (k < deviceCount) {
                Check(lookup.status == RecordLookup::Status::Ok ||
                          (lookup.status == RecordLookup::Status::Truncated && !problem.empty()),
                      "a listed device cannot be loaded, or is cut short in a whole file");
                Check(lookup.record.Name() == index.DeviceName(m, k),
                      "a loaded record has another name than the list showed");
            }
        }
    }
    std::remove(file.c_str());
    return 0;
}
