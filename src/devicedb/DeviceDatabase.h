// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "devicedb/DeviceRecord.h"

namespace kardo {

// The two database files and the device type each one stands for.
inline constexpr const char* kEepromDatabase = "KARDO_e.usb";
inline constexpr const char* kMicroDatabase = "KARDO_m.usb";

// Bits of DatabaseFlags: which database files were present at start.
inline constexpr uint8_t kEepromDatabasePresent = 1u << 1;
inline constexpr uint8_t kMicroDatabasePresent = 1u << 3;
inline constexpr uint8_t kAnyDatabaseMask = 0x1F;

// Reads the device database files. Each call opens the file, reads and closes it again;
// nothing is cached, since the files are small and may be replaced between calls.
//
// A file lists manufacturers (a count at offset 13, 16-byte entries from offset 16) and
// then one block per manufacturer: a discarded word, a device count N and N records.
// Counts that run past the end of the file stop at the end of the file.
namespace DeviceDatabase {

// nullopt when the file cannot be opened.
std::optional<std::vector<std::string>> ListManufacturers(const std::filesystem::path& file);

// Device names of manufacturer m; an index outside the file gives an empty list.
std::optional<std::vector<std::string>> ListDevices(const std::filesystem::path& file, int m);

struct RecordLookup {
    enum class Status {
        Ok,
        FileMissing,
        NotFound,   // no such manufacturer or device in the file
        Truncated,  // the record starts inside the file but ends beyond it
    };
    Status status = Status::NotFound;
    DeviceRecord record;  // for Truncated: the bytes the file had, the rest zero
};

RecordLookup LoadRecord(const std::filesystem::path& file, int m, int k);

// What is wrong with a database file that is there ("cannot be read", "is cut short
// ..."), or an empty text for a whole file or one that is not there at all. The reads
// above stop quietly at the end of a file; this says when they had to.
std::string FileProblem(const std::filesystem::path& file);

}  // namespace DeviceDatabase

}  // namespace kardo
