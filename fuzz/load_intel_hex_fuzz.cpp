// SPDX-License-Identifier: GPL-3.0-or-later
// Intel HEX into a 128 KiB EEPROM and into a small one whose buffer ends at 128 KiB.
#include "LoaderFuzzing.h"
#include "fileio/FormatDetection.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // What kardo-cli decides a file is, from the same bytes.
    (void)kardo::DetectFileContent(std::vector<uint8_t>(data, data + size));
    using namespace kardo;
    const std::vector<uint8_t> bytes(data, data + size);
    fuzz::LoadAndCheck(bytes, fuzz::Device('E', 0x1FFFF), format::IntelHex);
    fuzz::LoadAndCheck(bytes, fuzz::Device('M', 0x7FFF, 32, 0xD2, 1024), format::IntelHex);
    return 0;
}
