// SPDX-License-Identifier: GPL-3.0-or-later
#include "buffertools/BlockEdits.h"

#include <algorithm>
#include <vector>

#include "buffertools/HexEntry.h"
#include "common/HexText.h"

namespace kardo {
namespace {

std::size_t Reach(const DeviceBuffer& buffer, std::size_t range) {
    return std::min(range, buffer.BufferSize());
}

}  // namespace

FillResult FillBlock(DeviceBuffer& buffer, std::size_t range, uint32_t from, uint32_t to,
                     uint16_t data, bool word) {
    if (to < from) {
        return FillResult::ToBelowFrom;
    }
    if (to >= Reach(buffer, range)) {
        return FillResult::BeyondRange;
    }
    const auto high = static_cast<uint8_t>(data >> 8);
    const auto low = static_cast<uint8_t>(data & 0xFF);
    for (std::size_t i = from; i <= to; ++i) {
        buffer[i] = !word ? low : ((i - from) % 2 == 0 ? high : low);
    }
    return FillResult::Filled;
}

bool BlocksOverlap(uint32_t from, uint32_t count, uint32_t to) {
    // Widened: a block near the top of the address space must not wrap round to 0.
    const uint64_t f = from, n = count, t = to;
    return t < f + n && f < t + n;
}

std::optional<Replacement> ParseReplacement(std::string_view text) {
    if (text.empty()) {
        return Replacement{};
    }
    if (text.size() != 2 || !IsHexText(text)) {
        return std::nullopt;
    }
    return Replacement{static_cast<uint8_t>(ParseHexText(text))};
}

std::size_t CopyMoveBlock(DeviceBuffer& buffer, std::size_t range, uint32_t from, uint32_t count,
                          uint32_t to, Replacement replace) {
    const std::size_t reach = Reach(buffer, range);
    if (from >= reach) {
        return 0;
    }
    const std::size_t n = std::min<std::size_t>(count, reach - from);
    std::vector<uint8_t> block(buffer.data() + from, buffer.data() + from + n);
    if (replace.value) {
        std::fill_n(buffer.data() + from, n, *replace.value);
    }
    if (to < reach) {
        const std::size_t kept = std::min(n, reach - to);
        std::copy_n(block.begin(), kept, buffer.data() + to);
    }
    return n;
}

}  // namespace kardo
