// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/DeviceLookup.h"

#include <algorithm>
#include <cctype>

#include "app/DataDirectory.h"
#include "app/Selection.h"
#include "cli/CliArguments.h"
#include "common/Format.h"
#include "devicedb/BufferRules.h"
#include "devicedb/DeviceDatabase.h"

namespace kardo::cli {
namespace {

bool SameIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

std::filesystem::path DatabaseDirectory(const std::optional<std::string>& dbDir,
                                        const std::filesystem::path& programDir) {
    if (dbDir) {
        if (DatabaseFlagsIn(*dbDir) == 0) {
            throw UsageError("--db-dir " + *dbDir + " holds neither " + kEepromDatabase + " nor " +
                             kMicroDatabase);
        }
        return *dbDir;
    }
    std::error_code error;
    const std::filesystem::path current = std::filesystem::current_path(error);
    const std::filesystem::path installed = InstalledDataDirectory(programDir);
    // The window program's order: the current directory, the program's, the installed one.
    const std::filesystem::path chosen =
        ChooseDataDirectory(error ? std::filesystem::path() : current, programDir, installed);
    if (!chosen.empty() && DatabaseFlagsIn(chosen) != 0) {
        return chosen;
    }
    throw CommandFailed(std::string("no device database: neither the current directory nor ") +
                        programDir.string() + " nor " + installed.string() + " holds " +
                        kEepromDatabase + " or " + kMicroDatabase + " (give --db-dir)");
}

std::vector<DeviceEntry> ListAllDevices(const std::filesystem::path& directory) {
    std::vector<DeviceEntry> all;
    for (const char* file : {kEepromDatabase, kMicroDatabase}) {
        const auto manufacturers = DeviceDatabase::ListManufacturers(directory / file);
        if (!manufacturers) {
            continue;
        }
        for (int m = 0; m < static_cast<int>(manufacturers->size()); ++m) {
            const auto devices = DeviceDatabase::ListDevices(directory / file, m);
            for (int k = 0; devices && k < static_cast<int>(devices->size()); ++k) {
                all.push_back({file, m, k, (*manufacturers)[static_cast<std::size_t>(m)],
                               (*devices)[static_cast<std::size_t>(k)]});
            }
        }
    }
    return all;
}

std::string DatabaseProblems(const std::filesystem::path& directory) {
    std::string problems;
    for (const char* file : {kEepromDatabase, kMicroDatabase}) {
        if (const std::string problem = DeviceDatabase::FileProblem(directory / file);
            !problem.empty()) {
            problems +=
                (problems.empty() ? "" : "; ") + (directory / file).string() + " " + problem;
        }
    }
    return problems;
}

FoundDevice FindDevice(const std::filesystem::path& directory, const std::string& name) {
    const auto all = ListAllDevices(directory);
    const auto it = std::find_if(all.begin(), all.end(), [&](const DeviceEntry& entry) {
        return SameIgnoringCase(entry.FullName(), name);
    });
    if (it == all.end()) {
        // A device a damaged file may have held is not the user's mistake.
        if (const std::string problems = DatabaseProblems(directory); !problems.empty()) {
            throw CommandFailed("device \"" + name + "\" not found: " + problems);
        }
        throw UsageError("unknown device \"" + name +
                         "\": name it as MANUFACTURER/DEVICE as 'kardo-cli devices' lists it");
    }
    const auto lookup =
        DeviceDatabase::LoadRecord(directory / it->file, it->manufacturerIndex, it->deviceIndex);
    using Status = DeviceDatabase::RecordLookup::Status;
    if (lookup.status == Status::Truncated) {
        throw CommandFailed("the record of " + it->device + " is cut short in " + it->file);
    }
    if (lookup.status != Status::Ok) {
        throw CommandFailed(it->device + " is no longer listed in " + it->file);
    }
    return {*it, lookup.record};
}

void SelectDevice(AppState& state, const std::filesystem::path& directory,
                  const FoundDevice& device, LogSink& log) {
    const auto size = BufferSizeFor(device.record);
    if (!size) {
        throw CommandFailed(Format(
            "%s gives a device size (LastAddress 0x%x) that no buffer can hold",
            device.entry.device.c_str(), static_cast<uint32_t>(device.record.LastAddress())));
    }
    log.AppendLine(" Selected : " + device.entry.manufacturer + "  " + device.entry.device);
    state.DefaultDir = directory;
    state.DatabaseFlags = DatabaseFlagsIn(directory);
    state.selection = {device.entry.file, device.entry.manufacturerIndex, device.entry.deviceIndex};
    state.record = device.record;
    state.buffer.Allocate(*size);
    PrepareSelectedDevice(state, true);
    if (device.record.Family() == 'C') {
        state.ProgBits = kPicSelectionSteps;
    }
}

}  // namespace kardo::cli
