// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "devicedb/DeviceBuffer.h"
#include "devicedb/DeviceRecord.h"

namespace kardo {

// What of a loaded buffer programming leaves out, so that a programmed chip is never
// taken for the whole file: data in the data EEPROM of an ISP part, which no step
// writes, and data a load put above the device. Says it in a few words ("data EEPROM
// bytes 0x8000 to 0x8009", "data up to 0x1FFFF, above the device's last address 0x7FFF"),
// or is empty when programming writes everything there is. PIC parts place each area of
// a file for a step of its own, and are not judged here.
std::string NotProgrammedText(const DeviceRecord& record, const DeviceBuffer& buffer);

}  // namespace kardo
