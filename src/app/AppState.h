// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "config/ConfigBits.h"
#include "config/OptionFlags.h"
#include "config/SerialNumber.h"
#include "devicedb/BufferRules.h"
#include "devicedb/DeviceBuffer.h"
#include "devicedb/DeviceDatabase.h"
#include "devicedb/DeviceRecord.h"
#include "fileio/FileSettings.h"
#include "link/Connection.h"
#include "link/ProgrammerLink.h"

namespace kardo {

// Which device the selection dialog remembers, and in which database file.
struct SelectionState {
    std::string Filename;     // "KARDO_e.usb" or "KARDO_m.usb"
    int Manuf_index = 0;      // -1 = none
    int Device_index = 0;     // -1 = none
    std::string Device_name;  // the device at those indexes when chosen; empty = unknown
};

// The state the whole program shares. The main window owns the one instance and hands
// parts of it by reference to whatever needs them.
struct AppState {
    std::filesystem::path DefaultDir;    // database files, sounds and pictures
    std::filesystem::path PathLoadSave;  // directory of the last file dialog

    std::optional<DeviceRecord> record;  // none until the first confirmed selection
    DeviceBuffer buffer;

    char OperationCode = 0;
    std::atomic<uint8_t> errorCount{0};  // 0 = no failure so far
    std::atomic<bool> running{true};     // false only after Abort

    uint8_t ProgBits = 0;
    OptionFlags options;
    ConfigBits configBits;  // all zero at start; a new part with fuses starts from its own
    SerialNumberSettings serial;
    std::filesystem::path ProductionLog;  // one JSON line per operation, when set
    bool SoundON = false;
    bool soundFailed = false;  // the sound device failed in this run; never saved

    FileSettings fileSettings;             // the last choices of the format dialog
    std::filesystem::path LoadedFile;      // the file last chosen for loading
    std::filesystem::path SaveDialogFile;  // the name the save dialog offers next

    SelectionState selection;
    uint8_t DatabaseFlags = 0;
    ConnectionState connection;
    std::unique_ptr<ProgrammerLink> link;

    std::filesystem::path DatabasePath(const std::string& file) const { return DefaultDir / file; }
};

}  // namespace kardo
