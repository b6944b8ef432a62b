// SPDX-License-Identifier: GPL-3.0-or-later
// JEDEC fuse maps into the fuse-map layouts with one and two kinds of row.
#include "LoaderFuzzing.h"
#include "fileio/FormatDetection.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // What kardo-cli decides a file is, from the same bytes.
    (void)kardo::DetectFileContent(std::vector<uint8_t>(data, data + size));
    using namespace kardo;
    const std::vector<uint8_t> bytes(data, data + size);
    fuzz::LoadAndCheck(bytes, fuzz::Device('P', 2194, 1), format::Jedec);
    fuzz::LoadAndCheck(bytes, fuzz::Device('P', 8294, 8), format::Jedec);
    return 0;
}
