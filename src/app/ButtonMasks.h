// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "devicedb/DeviceRecord.h"

namespace kardo {

// The main window's device buttons, in their order along the top row.
enum class DeviceButton { Load, Save, Edit, Config, Blank, Read, Prog, Verify, Erase, Option };
inline constexpr std::size_t kDeviceButtonCount = 10;

// Which button each record bit enables. Select and Self Test are not governed by the
// record.
struct ButtonRule {
    DeviceButton button;
    bool secondMask;  // ButtonMask2 instead of ButtonMask
    uint8_t bit;
};

inline constexpr std::array<ButtonRule, kDeviceButtonCount> kButtonRules{{
    {DeviceButton::Load, false, 0},   {DeviceButton::Save, false, 1},
    {DeviceButton::Edit, false, 2},   {DeviceButton::Config, false, 3},
    {DeviceButton::Blank, false, 4},  {DeviceButton::Read, false, 5},
    {DeviceButton::Prog, false, 6},   {DeviceButton::Verify, false, 7},
    {DeviceButton::Erase, true, 0},   {DeviceButton::Option, true, 2},
}};

// Enabled state of each device button, indexed by DeviceButton; all off without a record.
std::array<bool, kDeviceButtonCount> ButtonStatesFor(const std::optional<DeviceRecord>& record);

}  // namespace kardo
