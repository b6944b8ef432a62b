// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

#include "devicedb/DeviceBuffer.h"
#include "devicedb/DeviceRecord.h"

namespace kardo {

// The buffer checksum shown in the information panel, computed over the device's
// main area by the rule of its family. Never reads beyond the buffer, whatever the
// record says.
uint32_t ComputeChecksum(const DeviceRecord& record, const DeviceBuffer& buffer);

// "%.4X" of the sum's low 16 bits.
std::string ChecksumText(uint32_t sum);

}  // namespace kardo
