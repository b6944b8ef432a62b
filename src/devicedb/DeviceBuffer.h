// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kardo {

// The one in-memory image of the device. Index i is device address i for byte-wide
// devices; 16-bit PIC words are stored high byte first. Positions are indexes from the
// start of the buffer.
class DeviceBuffer {
public:
    DeviceBuffer() = default;
    explicit DeviceBuffer(std::size_t size) { Allocate(size); }

    // Releases the old image and allocates a new one; every position returns to the start.
    void Allocate(std::size_t size);

    std::size_t BufferSize() const { return bytes_.size(); }
    uint8_t* data() { return bytes_.data(); }
    const uint8_t* data() const { return bytes_.data(); }
    uint8_t& operator[](std::size_t i) { return bytes_[i]; }
    uint8_t operator[](std::size_t i) const { return bytes_[i]; }

    // The current position of the algorithms, the loader and the editor.
    std::size_t BufferPos = 0;
    // Highest and lowest written positions, kept for the file loader.
    std::size_t HighestWritten = 0;
    std::size_t LowestWritten = 0;

private:
    std::vector<uint8_t> bytes_;
};

}  // namespace kardo
