// SPDX-License-Identifier: GPL-3.0-or-later
#include "devicedb/DeviceBuffer.h"

namespace kardo {

void DeviceBuffer::Allocate(std::size_t size) {
    std::vector<uint8_t>().swap(bytes_);  // release first: a 2 MiB image is not kept twice
    bytes_.assign(size, 0);
    BufferPos = HighestWritten = LowestWritten = 0;
}

}  // namespace kardo
