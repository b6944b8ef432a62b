// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileio/LoadBuffer.h"

#include <algorithm>
#include <vector>

#include "config/SheetTraits.h"
#include "devicedb/BufferRules.h"

namespace kardo {
namespace {

constexpr int64_t RoundedUp(int64_t lastAddress, int64_t lowBits) {
    return (lastAddress | lowBits) + 1;
}

bool IsOneOf(uint8_t value, std::initializer_list<uint8_t> values) {
    return std::find(values.begin(), values.end(), value) != values.end();
}

}  // namespace

bool ConfigCodeKeepsDataEeprom(const DeviceRecord& record) {
    return KeepsDataEeprom(record.ConfigCode());
}

std::optional<BufferArea> IspDataEepromArea(const DeviceRecord& record) {
    if (record.Family() != 'M' || record.Variant() == 35 ||
        (record.ManufId() == 0xBF && record.DeviceId() == 0x91) ||
        !ConfigCodeKeepsDataEeprom(record)) {
        return std::nullopt;
    }
    const auto start = static_cast<std::size_t>(std::max<int64_t>(0, record.LastAddress()) + 1);
    return BufferArea{start, record.EepromSize()};
}

LoadSizes LoadSizesFor(const DeviceRecord& record, bool oddEven) {
    const int64_t last = std::max<int64_t>(0, record.LastAddress());
    const char family = record.Family();
    LoadSizes sizes;
    sizes.capacity = last;
    if (family == 'R' && oddEven) {
        sizes.capacity = 2 * (last + 1);
    }
    int64_t size = 0;
    if (family == 'M') {
        if (record.Variant() == 35) {
            sizes.capacity = last + 32;
        }
        if (record.ManufId() == 0xBF && record.DeviceId() == 0x91) {
            size = RoundedUp(last, 0xFFFF) + 0x2000;
        } else if (const auto eeprom = IspDataEepromArea(record)) {
            size = static_cast<int64_t>(eeprom->start + eeprom->size);  // code, then EEPROM
        } else {
            size = 0x10000;
        }
    } else {
        if (record.Variant() == 18 || IsOneOf(record.ConfigCode(), {46, 47, 48})) {
            size = record.ConfigCode() < 46 ? 0x100000 : 0x20000;
        } else {
            size = RoundedUp(last, 0x1FFFF);
        }
        if (family == 'R') {
            size = oddEven ? std::max(RoundedUp(last, 0x1FFFF), 2 * (last + 1)) : last + 1;
        }
    }
    // A buffer smaller than the device could not take a file of the whole device, and a
    // PIC18-style image is addressed up to 0xF0000 and above whatever its code.
    size = std::max(size, last + 1);
    if (family == 'C' && record.Variant() == 18) {
        size = std::max<int64_t>(size, 0x100000);
    }
    sizes.bufferSize = static_cast<std::size_t>(std::min<int64_t>(size, kLargestBufferSize));
    return sizes;
}

void PrepareLoadBuffer(DeviceBuffer& buffer, const DeviceRecord& record, std::size_t size,
                       uint8_t fillOption) {
    if (fillOption == fill::Disable) {
        std::vector<uint8_t> kept(buffer.data(),
                                  buffer.data() + std::min(size, buffer.BufferSize()));
        buffer.Allocate(size);
        std::copy(kept.begin(), kept.end(), buffer.data());
        return;
    }
    buffer.Allocate(size);
    const bool pairs = HoldsWordPairs(record.Family());
    uint16_t value = 0;
    switch (fillOption) {
        case fill::DeviceDefault:
            value = pairs ? static_cast<uint16_t>(record.BlankValue() << 8 | 0xFF)
                          : record.BlankValue();
            break;
        case fill::FF:
            value = 0x00FF;
            break;
        default:
            value = 0;
            break;
    }
    uint8_t* bytes = buffer.data();
    if (pairs) {
        // One pair, then doubled copy by copy: a megabyte in twenty copies. An odd size
        // ends after a high byte.
        const uint8_t pair[2] = {static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
        std::copy_n(pair, std::min<std::size_t>(2, size), bytes);
        for (std::size_t done = 2; done < size; done *= 2) {
            std::copy_n(bytes, std::min(done, size - done), bytes + done);
        }
    } else {
        std::fill(bytes, bytes + size, static_cast<uint8_t>(value));
    }
    if (record.Family() == 'C' && record.Variant() == 18) {
        PlacePic18ConfigDefaults(buffer, record);
    }
}

}  // namespace kardo
