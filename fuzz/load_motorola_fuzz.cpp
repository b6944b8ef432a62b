// SPDX-License-Identifier: GPL-3.0-or-later
// Motorola S-records into a 128 KiB EEPROM, and with an offset that reaches below 0.
#include "LoaderFuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kardo;
    const std::vector<uint8_t> bytes(data, data + size);
    fuzz::LoadAndCheck(bytes, fuzz::Device('E', 0x1FFFF), format::Motorola);
    fuzz::LoadAndCheck(bytes, fuzz::Device('E', 0x7FFF), format::Motorola, -0x100);
    return 0;
}
