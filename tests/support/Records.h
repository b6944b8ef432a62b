// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

#include "devicedb/DeviceRecord.h"

namespace kardo::test {

// A record with the fields most tests need; the rest are set through the layout.
inline DeviceRecord MakeRecord(char family, int32_t lastAddress, uint8_t variant = 0,
                               const std::string& name = "TESTDEV") {
    DeviceRecord r;
    r.SetU8(field::Family, static_cast<uint8_t>(family));
    r.SetI32(field::LastAddress, lastAddress);
    r.SetU8(field::Variant, variant);
    r.SetText(field::Name, name);
    return r;
}

}  // namespace kardo::test
