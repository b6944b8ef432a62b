// SPDX-License-Identifier: GPL-3.0-or-later
// ELF files as anybody may have damaged them: reading one must never crash or read
// outside the file, and an image that comes out must load into a device's buffer and
// give its fuse values without trouble.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "LoaderFuzzing.h"
#include "fileio/ElfLoad.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::vector<uint8_t> bytes(data, data + size);
    const kardo::ElfReadResult result = kardo::ReadElfImage(bytes);
    if (!result.image) {
        if (result.error.empty())
            std::abort();  // every refusal says why
        return 0;
    }
    // An ATmega328P-sized ISP part: 32 KiB of code, its data EEPROM after it.
    const kardo::DeviceRecord record = kardo::fuzz::Device('M', 0x7FFF, 32, 0xCB, 1024);
    kardo::FileSettings settings;
    kardo::DeviceBuffer buffer;
    kardo::fuzz::SilentHost host;
    kardo::ConfigBits bits;
    const kardo::ElfLoadOutcome loaded =
        kardo::LoadElfBytes(bytes, {"fuzz.elf", record, settings}, buffer, bits, host);
    if (!loaded.error.empty() || buffer.HighestWritten >= buffer.BufferSize())
        std::abort();
    return 0;
}
