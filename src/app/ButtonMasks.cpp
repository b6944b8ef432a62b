// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ButtonMasks.h"

namespace kardo {

std::array<bool, kDeviceButtonCount> ButtonStatesFor(const std::optional<DeviceRecord>& record) {
    std::array<bool, kDeviceButtonCount> enabled{};
    if (!record) {
        return enabled;
    }
    for (const auto& rule : kButtonRules) {
        const uint8_t mask = rule.secondMask ? record->ButtonMask2() : record->ButtonMask();
        enabled[static_cast<std::size_t>(rule.button)] = ((mask >> rule.bit) & 1) != 0;
    }
    return enabled;
}

}  // namespace kardo
