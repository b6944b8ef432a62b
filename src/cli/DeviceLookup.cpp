// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/DeviceLookup.h"

#include <algorithm>
#include <cctype>

#include "app/DataDirectory.h"
#include "app/Selection.h"
#include "cli/CliArguments.h"
#include "cli/DeviceNames.h"
#include "common/Format.h"
#include "devicedb/BufferRules.h"
#include "devicedb/DeviceDatabase.h"

namespace kardo::cli {
namespace {

// The devices a typed name means: the one of that full name, else every one whose own
// name it is.
std::vector<DeviceEntry> Named(const std::vector<DeviceEntry>& all, const std::string& name) {
    const std::string wanted = LowerCase(name);
    std::vector<DeviceEntry> found;
    for (const DeviceEntry& entry : all) {
        if (LowerCase(entry.FullName()) == wanted) {
            return {entry};
        }
        if (LowerCase(entry.device) == wanted) {
            found.push_back(entry);
        }
    }
    return found;
}

std::string Unknown(const std::vector<DeviceEntry>& all, const std::string& name) {
    std::vector<std::string> names;
    const bool full = name.find('/') != std::string::npos;
    for (const DeviceEntry& entry : all) {
        names.push_back(full ? entry.FullName() : entry.device);
    }
    std::string text = "unknown device \"" + name + "\"";
    const std::vector<std::string> closest = ClosestNames(name, names, 5);
    for (std::size_t i = 0; i < closest.size(); ++i) {
        text += (i == 0 ? "; did you mean " : i + 1 == closest.size() ? " or " : ", ") + closest[i];
    }
    return text + (closest.empty() ? "" : "?") +
           " ('kardo-cli devices PATTERN' searches the database)";
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

DeviceListing ReadDeviceListing(const std::filesystem::path& directory) {
    DeviceListing listing;
    for (auto [file, index] :
         {std::pair(kEepromDatabase, &listing.eeprom), std::pair(kMicroDatabase, &listing.micro)}) {
        const std::filesystem::path path = directory / file;
        *index = DeviceDatabase::Index::Read(path);
        // Not there at all is no problem; there but unreadable is.
        const std::string problem =
            *index ? (*index)->Problem() : DeviceDatabase::FileProblem(path);
        if (!problem.empty()) {
            if (!listing.problems.empty()) {
                listing.problems += "; ";
            }
            listing.problems += path.string();
            listing.problems += " ";
            listing.problems += problem;
        }
    }
    return listing;
}

void DeviceListing::ForEach(const std::function<void(const DeviceEntry&)>& visit) const {
    DeviceEntry entry;  // one, refilled: a long list is not kept a second time
    for (auto [file, index] :
         {std::pair(kEepromDatabase, &eeprom), std::pair(kMicroDatabase, &micro)}) {
        if (!*index) {
            continue;
        }
        const DeviceDatabase::Index& read = **index;
        const auto& manufacturers = read.Manufacturers();
        entry.file = file;
        for (int m = 0; m < static_cast<int>(manufacturers.size()); ++m) {
            entry.manufacturerIndex = m;
            entry.manufacturer = manufacturers[static_cast<std::size_t>(m)];
            for (int k = 0; k < read.DeviceCount(m); ++k) {
                entry.deviceIndex = k;
                entry.device = read.DeviceName(m, k);
                visit(entry);
            }
        }
    }
}

std::vector<DeviceEntry> DeviceListing::All() const {
    std::vector<DeviceEntry> all;
    ForEach([&all](const DeviceEntry& entry) { all.push_back(entry); });
    return all;
}

DeviceDatabase::RecordLookup DeviceListing::Record(const DeviceEntry& entry) const {
    const auto& index = entry.file == kEepromDatabase ? eeprom : micro;
    if (!index) {
        DeviceDatabase::RecordLookup missing;
        missing.status = DeviceDatabase::RecordLookup::Status::FileMissing;
        return missing;
    }
    return index->Record(entry.manufacturerIndex, entry.deviceIndex);
}

FoundDevice FindDevice(const std::filesystem::path& directory, const std::string& name) {
    const DeviceListing listing = ReadDeviceListing(directory);
    const std::vector<DeviceEntry> all = listing.All();
    const std::vector<DeviceEntry> named = Named(all, name);
    if (named.empty()) {
        // A device a damaged file may have held is not the user's mistake.
        if (!listing.problems.empty()) {
            throw CommandFailed("device \"" + name + "\" not found: " + listing.problems);
        }
        throw UsageError(Unknown(all, name));
    }
    if (named.size() > 1) {
        std::string makers;
        for (const DeviceEntry& entry : named) {
            makers += (makers.empty() ? "" : ", ") + entry.FullName();
        }
        throw UsageError("\"" + name + "\" is the name of " + std::to_string(named.size()) +
                         " devices (" + makers + "): name one as MANUFACTURER/DEVICE");
    }
    const auto it = named.begin();
    const DeviceDatabase::RecordLookup lookup = listing.Record(*it);
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
    state.selection = {device.entry.file, device.entry.manufacturerIndex, device.entry.deviceIndex,
                       device.entry.device};
    state.record = device.record;
    state.buffer.Allocate(*size);
    PrepareSelectedDevice(state, true);
    if (device.record.Family() == 'C') {
        state.ProgBits = kPicSelectionSteps;
    }
}

}  // namespace kardo::cli
