// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/DataFiles.h"

#include <algorithm>

#include "common/Format.h"

namespace kardo::test {
namespace {

// Bytes as hex digits, adding each to `sum`.
void PutBytes(std::string& text, const uint8_t* bytes, std::size_t n, unsigned& sum) {
    for (std::size_t i = 0; i < n; ++i) {
        text += Format("%02X", unsigned{bytes[i]});
        sum += bytes[i];
    }
}

}  // namespace

std::string IntelHexText(uint32_t address, const std::vector<uint8_t>& data,
                         std::size_t perRecord) {
    std::string text;
    uint32_t segment = UINT32_MAX;
    for (std::size_t i = 0; i < data.size(); i += perRecord) {
        const uint32_t at = address + static_cast<uint32_t>(i);
        if (at >> 16 != segment) {
            segment = at >> 16;
            const uint8_t value[2] = {static_cast<uint8_t>(segment >> 8),
                                      static_cast<uint8_t>(segment)};
            unsigned sum = 2 + 4;
            text += ":02000004";
            PutBytes(text, value, 2, sum);
            text += Format("%02X\n", (0x100 - sum) & 0xFF);
        }
        const std::size_t n = std::min(perRecord, data.size() - i);
        unsigned sum = static_cast<unsigned>(n) + ((at >> 8) & 0xFF) + (at & 0xFF);
        text += Format(":%02zX%04X00", n, at & 0xFFFF);
        PutBytes(text, data.data() + i, n, sum);
        text += Format("%02X\n", (0x100 - sum) & 0xFF);
    }
    return text + ":00000001FF\n";
}

std::string SRecordText(uint32_t address, const std::vector<uint8_t>& data, std::size_t perRecord) {
    std::string text = "S00600004844521B\n";
    for (std::size_t i = 0; i < data.size(); i += perRecord) {
        const uint32_t at = address + static_cast<uint32_t>(i);
        const std::size_t n = std::min(perRecord, data.size() - i);
        const uint8_t head[4] = {static_cast<uint8_t>(n + 4), static_cast<uint8_t>(at >> 16),
                                 static_cast<uint8_t>(at >> 8), static_cast<uint8_t>(at)};
        unsigned sum = 0;
        text += "S2";
        PutBytes(text, head, 4, sum);
        PutBytes(text, data.data() + i, n, sum);
        text += Format("%02X\n", ~sum & 0xFF);
    }
    return text + "S804000000FB\n";
}

std::vector<uint8_t> PatternBytes(std::size_t n, uint8_t seed) {
    std::vector<uint8_t> bytes(n);
    for (std::size_t i = 0; i < n; ++i)
        bytes[i] = static_cast<uint8_t>(i * 31 + seed + (i >> 9));
    return bytes;
}

}  // namespace kardo::test
