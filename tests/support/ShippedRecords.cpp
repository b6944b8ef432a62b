#include "support/ShippedRecords.h"

#include <stdexcept>

#include "devicedb/DeviceDatabase.h"

namespace kardo::test {

DeviceRecord ShippedRecord(const std::string& name) {
    for (const char* file : {kEepromDatabase, kMicroDatabase}) {
        const auto path = std::filesystem::path(KARDO_DATA_DIR) / file;
        const auto makers = DeviceDatabase::ListManufacturers(path);
        for (int m = 0; makers && m < static_cast<int>(makers->size()); ++m) {
            const auto devices = DeviceDatabase::ListDevices(path, m);
            for (int k = 0; devices && k < static_cast<int>(devices->size()); ++k) {
                if ((*devices)[static_cast<std::size_t>(k)] == name) {
                    return DeviceDatabase::LoadRecord(path, m, k).record;
                }
            }
        }
    }
    throw std::runtime_error("no shipped device named " + name);
}

}  // namespace kardo::test
