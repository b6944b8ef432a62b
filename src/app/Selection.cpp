// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Selection.h"

#include "common/FileBytes.h"
#include "config/FactoryFuses.h"
#include "devicedb/DeviceDatabase.h"

namespace kardo {

uint8_t DatabaseFlagsIn(const std::filesystem::path& directory) {
    // Only a regular file counts: a folder of that name cannot be read, and reading a
    // pipe would block the window.
    uint8_t flags = 0;
    if (IsRegularFile(directory / kEepromDatabase)) {
        flags |= kEepromDatabasePresent;
    }
    if (IsRegularFile(directory / kMicroDatabase)) {
        flags |= kMicroDatabasePresent;
    }
    return flags;
}

void PrepareSelectedDevice(AppState& state, bool differentDevice) {
    const DeviceRecord& record = *state.record;
    FillErased(state.buffer, record);
    if (record.Family() == 'C' && record.Variant() == 18) {
        PlacePic18ConfigDefaults(state.buffer, record);
    }
    if (differentDevice) {
        state.ProgBits = 1;
        const uint8_t defaults = record.DefaultOptions();
        state.options.Test_flag = (defaults & 0x01) != 0;
        state.options.Id_flag = (defaults & 0x04) != 0;
        state.options.MaxMin_flag = (defaults & 0x08) != 0;
        StartFromFactoryFuses(state.configBits, record);
    }
}

}  // namespace kardo
