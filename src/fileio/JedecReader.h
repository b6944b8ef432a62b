// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

#include "devicedb/DeviceBuffer.h"
#include "devicedb/DeviceRecord.h"
#include "fileio/FileIoHost.h"

namespace kardo {

// Reads a JEDEC fuse map into the buffer, which the loader has already re-created and
// filled. Returns the load's result code.
uint8_t ReadJedec(const std::vector<uint8_t>& file, const DeviceRecord& record,
                  DeviceBuffer& buffer, FileIoHost& host);

}  // namespace kardo
