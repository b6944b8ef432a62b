// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/AppState.h"
#include "common/LogSink.h"
#include "devicedb/DeviceDatabase.h"
#include "devicedb/DeviceRecord.h"

namespace kardo::cli {

// Where the database files are: `--db-dir` when given (it must hold one of them), else
// the current directory when it holds one, else the directory of the program, else the
// data directory of its installation.
std::filesystem::path DatabaseDirectory(const std::optional<std::string>& dbDir,
                                        const std::filesystem::path& programDir);

// One device as the database lists it.
struct DeviceEntry {
    std::string file;  // kEepromDatabase or kMicroDatabase
    int manufacturerIndex = 0;
    int deviceIndex = 0;
    std::string manufacturer;
    std::string device;

    std::string FullName() const { return manufacturer + "/" + device; }
};

// The database files in `directory`, each read once: what is wrong with the ones that
// are there, each named (empty when every one is whole), and their devices.
struct DeviceListing {
    std::string problems;
    std::optional<DeviceDatabase::Index> eeprom, micro;

    // Every device, in the order of the selection dialog, one at a time.
    void ForEach(const std::function<void(const DeviceEntry&)>& visit) const;
    std::vector<DeviceEntry> All() const;
    // The record of a listed device, from the same read of its file as the list.
    DeviceDatabase::RecordLookup Record(const DeviceEntry& entry) const;
};
DeviceListing ReadDeviceListing(const std::filesystem::path& directory);

// The device named "MANUFACTURER/DEVICE", or by its own name where no other device has
// it, compared without regard to case. A name the database does not list is a usage
// error that offers the closest names; a record the file cannot supply whole fails.
struct FoundDevice {
    DeviceEntry entry;
    DeviceRecord record;
};
FoundDevice FindDevice(const std::filesystem::path& directory, const std::string& name);

// What a confirmed selection does to the state: the record, its buffer filled with the
// erased pattern, the step mask and options of a newly selected device. Fails for a
// record whose size no buffer can hold. The log says which device, as the window's does.
void SelectDevice(AppState& state, const std::filesystem::path& directory,
                  const FoundDevice& device, LogSink& log);

}  // namespace kardo::cli
