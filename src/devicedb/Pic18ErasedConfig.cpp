// SPDX-License-Identifier: GPL-3.0-or-later
#include "devicedb/Pic18ErasedConfig.h"

#include <algorithm>
#include <initializer_list>
#include <utility>

namespace kardo {
namespace {

// Buffer order of the fourteen bytes: CONFIG1H, CONFIG1L, CONFIG2H, CONFIG2L, ...
constexpr std::size_t k1H = 0, k1L = 1, k2L = 3, k3H = 4, k4L = 7;

struct ZeroBits {
    uint8_t code;  // the sheet, which is the configuration layout of its parts
    std::array<uint8_t, 14> bits;
};

std::array<uint8_t, 14> Bits(std::initializer_list<std::pair<std::size_t, uint8_t>> set) {
    std::array<uint8_t, 14> bits{};
    for (const auto& [index, value] : set) {
        bits[index] = value;
    }
    return bits;
}

// The bits each layout's datasheets give as 0 in the "default/unprogrammed value" of
// the configuration registers; a part's erased byte is its mask without them.
const ZeroBits kZeroBits[] = {
    // USB parts (sheets 36 and 42): PLLDIV, CPUDIV and USBDIV 0; FOSC = EC with CLKO
    // (bits 3 and 1 clear); IESO, FCMEN, VREGEN, LPT1OSC, XINST, ICPRT and BBSIZ 0.
    {36, Bits({{k1L, 0x3F}, {k1H, 0xCA}, {k2L, 0x20}, {k3H, 0x04}, {k4L, 0x68}})},
    {42, Bits({{k1L, 0x3F}, {k1H, 0xCA}, {k2L, 0x20}, {k3H, 0x04}, {k4L, 0x68}})},
    // The nanoWatt parts (sheets 37, 41, 43): FOSC = external RC with CLKO (bit 3
    // clear); IESO, FCMEN, LPT1OSC, XINST and the boot-block size bits 0.
    {37, Bits({{k1H, 0xC8}, {k3H, 0x04}, {k4L, 0x70}})},
    {41, Bits({{k1H, 0xC8}, {k3H, 0x04}, {k4L, 0x70}})},
    {43, Bits({{k1H, 0xC8}, {k3H, 0x04}, {k4L, 0x70}})},
};

}  // namespace

std::array<uint8_t, 14> Pic18ErasedConfig(const DeviceRecord& record) {
    std::array<uint8_t, 14> erased{};
    const auto mask = record.ConfigMask();
    std::copy(mask.begin(), mask.begin() + erased.size(), erased.begin());
    for (const ZeroBits& z : kZeroBits) {
        if (z.code == record.ConfigCode()) {
            for (std::size_t i = 0; i < erased.size(); ++i) {
                erased[i] = static_cast<uint8_t>(erased[i] & ~z.bits[i]);
            }
        }
    }
    return erased;
}

}  // namespace kardo
