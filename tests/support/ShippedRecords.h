// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "devicedb/DeviceRecord.h"

namespace kardo::test {

// The record of a device as the shipped database files list it, found by its name in
// either file; fails the test when there is no such device.
DeviceRecord ShippedRecord(const std::string& name);
// Every device of both shipped files, in their order.
std::vector<DeviceRecord> ShippedRecords();

}  // namespace kardo::test
