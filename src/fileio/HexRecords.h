// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kardo {

// Two upper-case hexadecimal digits.
inline void AppendHexByte(std::string& out, uint8_t value) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    out += kDigits[value >> 4];
    out += kDigits[value & 0xF];
}

// ":" LL AAAA TT data CC and the line end, as Intel HEX and the PIC formats write
// them: CC is the two's complement of the sum of every byte before it.
inline void AppendIntelRecord(std::string& out, uint8_t length, uint16_t address, uint8_t type,
                              const uint8_t* data, std::size_t dataBytes,
                              std::string_view lineEnd) {
    uint8_t sum = static_cast<uint8_t>(length + (address >> 8) + (address & 0xFF) + type);
    out += ':';
    AppendHexByte(out, length);
    AppendHexByte(out, static_cast<uint8_t>(address >> 8));
    AppendHexByte(out, static_cast<uint8_t>(address));
    AppendHexByte(out, type);
    for (std::size_t i = 0; i < dataBytes; ++i) {
        AppendHexByte(out, data[i]);
        sum = static_cast<uint8_t>(sum + data[i]);
    }
    AppendHexByte(out, static_cast<uint8_t>(0x100 - sum));
    out += lineEnd;
}

}  // namespace kardo
