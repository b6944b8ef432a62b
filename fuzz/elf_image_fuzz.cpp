// SPDX-License-Identifier: GPL-3.0-or-later
// ELF files as anybody may have damaged them: reading one must never crash or read
// outside the file, and an image that comes out must turn into Intel HEX and fuse
// values without trouble.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/ElfImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::vector<uint8_t> bytes(data, data + size);
    const kardo::ElfReadResult result = kardo::ReadElfImage(bytes);
    if (!result.image) {
        if (result.error.empty())
            std::abort();  // every refusal says why
        return 0;
    }
    // The EEPROM position of a device of 32 KiB, as the command-line program passes it.
    const std::string hex = kardo::ElfImageAsIntelHex(*result.image, 0x8000);
    if (!hex.ends_with(":00000001FF\r\n"))
        std::abort();
    kardo::ConfigBits bits;
    kardo::ApplyElfFuses(*result.image, bits);
    return 0;
}
