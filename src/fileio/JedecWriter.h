// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "devicedb/DeviceBuffer.h"
#include "devicedb/DeviceRecord.h"

namespace kardo {

// The JEDEC file of a fuse map (one buffer byte per fuse, the character "1" for a set
// fuse): header, main array row by row, the UES as text and as fuses, the rest, the
// PES and the fuse checksum.
void RenderJedec(std::string& out, const DeviceBuffer& buffer, const DeviceRecord& record);

}  // namespace kardo
