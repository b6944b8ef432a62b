// SPDX-License-Identifier: GPL-3.0-or-later
#include "devicedb/DeviceRecord.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace kardo {

std::string TextUpToNul(const uint8_t* bytes, std::size_t length) {
    const auto* end = std::find(bytes, bytes + length, uint8_t{0});
    return std::string(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(end - bytes));
}

uint16_t DeviceRecord::U16(const RecordField& f) const {
    return static_cast<uint16_t>(bytes_[f.offset] | (bytes_[f.offset + 1] << 8));
}

int32_t DeviceRecord::I32(const RecordField& f) const {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) {
        v = (v << 8) | bytes_[f.offset + static_cast<std::size_t>(i)];
    }
    return static_cast<int32_t>(v);
}

float DeviceRecord::F32(const RecordField& f) const {
    return std::bit_cast<float>(static_cast<uint32_t>(I32(f)));
}

std::string DeviceRecord::Text(const RecordField& f) const {
    return TextUpToNul(bytes_.data() + f.offset, f.length);
}

void DeviceRecord::SetU16(const RecordField& f, uint16_t v) {
    bytes_[f.offset] = static_cast<uint8_t>(v);
    bytes_[f.offset + 1] = static_cast<uint8_t>(v >> 8);
}

void DeviceRecord::SetI32(const RecordField& f, int32_t v) {
    auto u = static_cast<uint32_t>(v);
    for (std::size_t i = 0; i < 4; ++i) {
        bytes_[f.offset + i] = static_cast<uint8_t>(u >> (8 * i));
    }
}

void DeviceRecord::SetF32(const RecordField& f, float v) {
    SetI32(f, static_cast<int32_t>(std::bit_cast<uint32_t>(v)));
}

void DeviceRecord::SetText(const RecordField& f, const std::string& text) {
    std::memset(bytes_.data() + f.offset, 0, f.length);
    std::memcpy(bytes_.data() + f.offset, text.data(), std::min(text.size(), f.length));
}

}  // namespace kardo
