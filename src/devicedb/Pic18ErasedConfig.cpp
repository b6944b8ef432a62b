// SPDX-License-Identifier: GPL-3.0-or-later
#include "devicedb/Pic18ErasedConfig.h"

#include <algorithm>
#include <string_view>

namespace kardo {
namespace {

struct ErasedEntry {
    std::string_view name;
    std::array<uint8_t, 14> bytes;
};

// From each part's datasheet, "default/unprogrammed value" of every configuration
// register; the bytes the part does not implement are 0, as in its mask.
constexpr ErasedEntry kErased[] = {
    // FOSC = EC with CLKO, PLLDIV/CPUDIV/USBDIV = 0, IESO/FCMEN/VREGEN/LPT1OSC/XINST/
    // ICPRT = 0.
    {"PIC18F4550",
     {0x05, 0x00, 0x1F, 0x1F, 0x83, 0x00, 0x00, 0x85, 0xC0, 0x0F, 0xE0, 0x0F, 0x40, 0x0F}},
    {"PIC18F4450",
     {0x05, 0x00, 0x1F, 0x1F, 0x82, 0x00, 0x00, 0x85, 0x40, 0x03, 0x60, 0x03, 0x40, 0x03}},
    // FOSC = external RC with CLKO, IESO/FCMEN/LPT1OSC/XINST = 0, boot block 1K words.
    {"PIC18F4520",
     {0x07, 0x00, 0x1F, 0x1F, 0x83, 0x00, 0x00, 0x85, 0xC0, 0x0F, 0xE0, 0x0F, 0x40, 0x0F}},
    {"PIC18F4580",
     {0x07, 0x00, 0x1F, 0x1F, 0x82, 0x00, 0x00, 0x85, 0xC0, 0x0F, 0xE0, 0x0F, 0x40, 0x0F}},
    {"PIC18F4680",
     {0x07, 0x00, 0x1F, 0x1F, 0x82, 0x00, 0x00, 0x85, 0xC0, 0x0F, 0xE0, 0x0F, 0x40, 0x0F}},
};

}  // namespace

std::array<uint8_t, 14> Pic18ErasedConfig(const DeviceRecord& record) {
    for (const ErasedEntry& e : kErased) {
        if (record.Name() == e.name) {
            return e.bytes;
        }
    }
    std::array<uint8_t, 14> fromMask{};
    const auto mask = record.ConfigMask();
    std::copy(mask.begin(), mask.begin() + fromMask.size(), fromMask.begin());
    return fromMask;
}

}  // namespace kardo
