// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/ShippedRecords.h"

#include <stdexcept>

#include "devicedb/DeviceDatabase.h"
#include "support/TestPaths.h"

namespace kardo::test {

std::vector<DeviceRecord> ShippedRecords() {
    std::vector<DeviceRecord> records;
    for (const char* file : {kEepromDatabase, kMicroDatabase}) {
        const auto path = kardo::test::BuiltDataDir() / file;
        const auto index = DeviceDatabase::Index::Read(path);
        for (int m = 0; index && m < static_cast<int>(index->Manufacturers().size()); ++m) {
            for (int k = 0; k < index->DeviceCount(m); ++k) {
                records.push_back(index->Record(m, k).record);
            }
        }
    }
    if (records.empty()) {
        throw std::runtime_error("the shipped database files list no device");
    }
    return records;
}

DeviceRecord ShippedRecord(const std::string& name) {
    for (const DeviceRecord& record : ShippedRecords()) {
        if (record.Name() == name) {
            return record;
        }
    }
    throw std::runtime_error("no shipped device named " + name);
}

}  // namespace kardo::test
