// SPDX-License-Identifier: GPL-3.0-or-later
#include "devicedb/BufferRules.h"

#include <algorithm>

#include "devicedb/Pic18ErasedConfig.h"

namespace kardo {
namespace {

constexpr int64_t RoundedUp(int64_t lastAddress, int64_t lowBits) {
    return (lastAddress | lowBits) + 1;
}

}  // namespace

bool HoldsWordPairs(char family) {
    return family == 'C' || family == 'O' || family == 'Y';
}

std::optional<std::size_t> BufferSizeFor(const DeviceRecord& record) {
    const int64_t last = record.LastAddress();
    if (last < 0) {
        return std::nullopt;
    }
    const char family = record.Family();
    int64_t size = RoundedUp(last, 0xFFFF);
    if (family == 'C' || family == 'M') {
        size = RoundedUp(last, 0x1FFFF);
        // A PIC18 image is addressed up to 0xF0000 and above (ID, configuration, data
        // EEPROM), so it is 1 MiB; a code area larger than that still gets room for itself.
        if (family == 'C' && record.Variant() == 18) {
            size = std::max<int64_t>(0x100000, size);
        }
    }
    if (family == 'O') {
        size *= 2;
    }
    if (size > static_cast<int64_t>(kLargestBufferSize)) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(size);
}

void FillErased(DeviceBuffer& buffer, const DeviceRecord& record) {
    uint8_t* bytes = buffer.data();
    const std::size_t size = buffer.BufferSize();
    const uint8_t blank = record.BlankValue();
    if (HoldsWordPairs(record.Family())) {
        for (std::size_t i = 0; i < size; ++i) {
            bytes[i] = (i % 2 == 0) ? blank : uint8_t{0xFF};
        }
    } else {
        std::fill(bytes, bytes + size, blank);
    }
    buffer.BufferPos = 0;
}

void PlacePic18ConfigDefaults(DeviceBuffer& buffer, const DeviceRecord& record) {
    constexpr std::size_t kDefaults = 14;
    if (buffer.BufferSize() < kPic18ConfigPosition + kDefaults) {
        return;
    }
    const auto defaults = Pic18ErasedConfig(record);
    static_assert(defaults.size() == kDefaults);
    std::copy(defaults.begin(), defaults.end(), buffer.data() + kPic18ConfigPosition);
}

bool AllocateOddEvenBuffer(DeviceBuffer& buffer, const DeviceRecord& record) {
    const int64_t pair = 2 * record.Size();
    if (pair <= 0 || pair > static_cast<int64_t>(kLargestBufferSize)) {
        return false;
    }
    buffer.Allocate(static_cast<std::size_t>(pair));
    std::fill(buffer.data(), buffer.data() + pair, record.BlankValue());
    buffer.BufferPos = 0;
    return true;
}

PicBufferAreas PicBufferAreasFor(const DeviceRecord& record) {
    if (record.Variant() == 18) {
        return {0xF0000, kPic18ConfigPosition, 0xF0200};
    }
    const uint8_t code = record.ConfigCode();
    if (code >= 46 && code <= 48) {
        return {0x10000, 0x1000E, 0x10200};
    }
    return {};
}

}  // namespace kardo
