// SPDX-License-Identifier: GPL-3.0-or-later
// The reader of the AVR compiler's preprocessor output on arbitrary text: it gives a
// part or an error, and every fuse bit it gives lies in one of the three fuse bytes.
#include <cstdint>
#include <string>
#include <string_view>

#include "AvrLibcData.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string error;
    const auto part = kardo::dbsource::ParseAvrDefinitions(
        std::string_view(reinterpret_cast<const char*>(data), size), error);
    for (const auto& bit : part.fuseBits) {
        if (bit.byte < 0 || bit.byte > 2 || bit.bit < 0 || bit.bit > 7) {
            __builtin_trap();
        }
    }
    return 0;
}
