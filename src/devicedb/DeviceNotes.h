// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "devicedb/DeviceRecord.h"

namespace kardo {

// The texts of the information panels that follow from a device record.
struct DeviceInfoTexts {
    std::string ManIDL, DevIDL, DevIDL2;  // signature bytes, "0x%.2X"; empty without one
    std::string SizeL;                    // "0x%X" of the device size
    std::string VccL, VppL;               // " 5.00V"; VppL empty when Vpp is 0.0
    std::string AdapL, ComL;              // socket adapter, wiring and memory notes
};

DeviceInfoTexts DeviceInfoFor(const DeviceRecord& record);

}  // namespace kardo
