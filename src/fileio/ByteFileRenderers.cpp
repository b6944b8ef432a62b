// SPDX-License-Identifier: GPL-3.0-or-later
// Intel HEX and Motorola S-records of a buffer range.
#include <algorithm>

#include "fileio/HexRecords.h"
#include "fileio/SaveRenderers.h"

namespace kardo {

// 16-byte records with 16-bit addresses, moved along by extended segment records (02):
// one first for a device above 64 KiB, and one after every record that leaves the
// address above 0xFFDC, so that no record runs past 0xFFFF. A segment reaches no further
// than 1 MiB, so a range that goes beyond uses extended linear records (04) at every
// 64 KiB instead.
void RenderIntelHex(std::string& out, const DeviceBuffer& buffer, uint32_t start, uint32_t stop,
                    int64_t capacity, SaveProgress& progress) {
    constexpr std::string_view kLineEnd = "\r\n";
    const bool linear = stop >= 0x100000;
    uint64_t at = start;
    uint32_t address = start;
    const auto segment = [&] {
        const auto value = static_cast<uint16_t>(at >> 4);
        const uint8_t bytes[2] = {static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
        AppendIntelRecord(out, 2, 0, 0x02, bytes, 2, kLineEnd);
        address = static_cast<uint32_t>(at & 0xF);
    };
    const auto upper = [&] {
        const uint8_t bytes[2] = {static_cast<uint8_t>(at >> 24), static_cast<uint8_t>(at >> 16)};
        AppendIntelRecord(out, 2, 0, 0x04, bytes, 2, kLineEnd);
        address = static_cast<uint32_t>(at & 0xFFFF);
    };
    if (capacity > 0xFFFF || linear) {
        linear ? upper() : segment();
    }
    for (uint64_t remaining = uint64_t{stop} - start + 1; remaining > 0;) {
        std::size_t length = static_cast<std::size_t>(std::min<uint64_t>(16, remaining));
        if (linear) {
            length = std::min<std::size_t>(length, 0x10000 - (address & 0xFFFF));
        }
        AppendIntelRecord(out, static_cast<uint8_t>(length), static_cast<uint16_t>(address), 0x00,
                          buffer.data() + at, length, kLineEnd);
        address += static_cast<uint32_t>(length);
        at += length;
        remaining -= length;
        if (remaining > 0 && linear && (at & 0xFFFF) == 0) {
            upper();
        } else if (!linear && address > 0xFFDC) {
            segment();
        }
        progress.At(at);
    }
    out += ":00000001FF\r\n";
}

// An S0 header record naming the program, S1 records below 64 KiB and S2 records above,
// 32 or 31 data bytes each, and "S9030000FC" at the end. A record never runs past the
// last address its address field can name, and above 16 MiB S3 records take over.
// Readers expect the header: without it they warn about every file.
void RenderMotorola(std::string& out, const DeviceBuffer& buffer, uint32_t start, uint32_t stop,
                    SaveProgress& progress) {
    constexpr std::string_view kHeader = "KARDO";
    out += "S0";
    auto headerSum = static_cast<uint8_t>(kHeader.size() + 3);  // address 0000, the text, SS
    AppendHexByte(out, headerSum);
    out += "0000";
    for (const char c : kHeader) {
        AppendHexByte(out, static_cast<uint8_t>(c));
        headerSum = static_cast<uint8_t>(headerSum + static_cast<uint8_t>(c));
    }
    AppendHexByte(out, static_cast<uint8_t>(~headerSum));
    out += '\n';
    uint64_t at = start;
    for (int64_t remaining = int64_t{stop} - start; remaining >= 0;) {
        const int addressBytes = at < 0x10000 ? 2 : at < 0x1000000 ? 3 : 4;
        const uint64_t limit = addressBytes == 2   ? 0x10000
                               : addressBytes == 3 ? 0x1000000
                                                   : 0x100000000;
        int64_t data = std::min<int64_t>(remaining + 1, 0x23 - addressBytes - 1);
        data = std::min<int64_t>(data, static_cast<int64_t>(limit - at));
        const auto count = static_cast<uint8_t>(data + addressBytes + 1);
        out += 'S';
        out += static_cast<char>('0' + addressBytes - 1);
        AppendHexByte(out, count);
        uint8_t sum = count;
        for (int i = addressBytes - 1; i >= 0; --i) {
            const auto b = static_cast<uint8_t>(at >> (8 * i));
            AppendHexByte(out, b);
            sum = static_cast<uint8_t>(sum + b);
        }
        for (int64_t i = 0; i < data; ++i) {
            const uint8_t b = buffer[static_cast<std::size_t>(at++)];
            AppendHexByte(out, b);
            sum = static_cast<uint8_t>(sum + b);
        }
        AppendHexByte(out, static_cast<uint8_t>(~sum));
        out += '\n';
        remaining -= data;
        progress.At(at);
    }
    out += "S9030000FC\n";
}

}  // namespace kardo
