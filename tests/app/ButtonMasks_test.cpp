// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ButtonMasks.h"

#include <gtest/gtest.h>

#include "support/Records.h"

namespace kardo {
namespace {

TEST(ButtonMasks, EachButtonFollowsItsOwnBit) {
    EXPECT_EQ(ButtonStatesFor(std::nullopt), (std::array<bool, kDeviceButtonCount>{}));
    // One bit at a time, so a swapped pair of rules would show.
    for (int bit = 0; bit < 8; ++bit) {
        auto r = test::MakeRecord('E', 0xFF);
        r.SetU8(field::ButtonMask, static_cast<uint8_t>(1 << bit));
        const auto states = ButtonStatesFor(r);
        for (std::size_t i = 0; i < kDeviceButtonCount; ++i) {
            EXPECT_EQ(states[i], i == static_cast<std::size_t>(bit)) << bit << " " << i;
        }
    }
    auto r = test::MakeRecord('E', 0xFF);
    r.SetU8(field::ButtonMask2, 0x01);
    EXPECT_TRUE(ButtonStatesFor(r)[static_cast<std::size_t>(DeviceButton::Erase)]);
    EXPECT_FALSE(ButtonStatesFor(r)[static_cast<std::size_t>(DeviceButton::Option)]);
    r.SetU8(field::ButtonMask2, 0xFA);  // bit 1 and the high bits mean nothing
    EXPECT_FALSE(ButtonStatesFor(r)[static_cast<std::size_t>(DeviceButton::Erase)]);
    EXPECT_FALSE(ButtonStatesFor(r)[static_cast<std::size_t>(DeviceButton::Option)]);
    r.SetU8(field::ButtonMask2, 0x04);
    EXPECT_TRUE(ButtonStatesFor(r)[static_cast<std::size_t>(DeviceButton::Option)]);
}

}  // namespace
}  // namespace kardo
