#include "app/Selection.h"

#include <system_error>

#include "devicedb/DeviceDatabase.h"

namespace kardo {

uint8_t DatabaseFlagsIn(const std::filesystem::path& directory) {
    std::error_code error;
    uint8_t flags = 0;
    if (std::filesystem::exists(directory / kEepromDatabase, error)) {
        flags |= kEepromDatabasePresent;
    }
    if (std::filesystem::exists(directory / kMicroDatabase, error)) {
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
    }
}

}  // namespace kardo
