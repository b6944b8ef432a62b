// SPDX-License-Identifier: GPL-3.0-or-later
// Binary files with an offset: the first four bytes of the input are the signed offset
// (little-endian, scaled to reach past both ends of the buffer), the rest the file.
#include "LoaderFuzzing.h"
#include "fileio/FormatDetection.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // What kardo-cli decides a file is, from the same bytes.
    (void)kardo::DetectFileContent(std::vector<uint8_t>(data, data + size));
    using namespace kardo;
    if (size < 4)
        return 0;
    const int32_t raw =
        static_cast<int32_t>(data[0] | data[1] << 8 | data[2] << 16 | uint32_t{data[3]} << 24);
    const int64_t offset = int64_t{raw} % 0x40000;
    const std::vector<uint8_t> bytes(data + 4, data + size);
    fuzz::LoadAndCheck(bytes, fuzz::Device('E', 0x1FFFF), format::Binary, offset);
    fuzz::LoadAndCheck(bytes, fuzz::Device('R', 0x7FF), format::Binary, offset);
    return 0;
}
