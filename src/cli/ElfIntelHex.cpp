// SPDX-License-Identifier: GPL-3.0-or-later
// An ELF image handed on as Intel HEX, so that the loader applies the same rules to it
// as to any file the user might have made with avr-objcopy.
#include <algorithm>
#include <cstdio>

#include "cli/ElfImage.h"

namespace kardo {
namespace {

// 32 address bits at most: the 16 of a data record and the 16 of a type 04 record.
constexpr uint64_t kIntelHexReach = uint64_t{1} << 32;
constexpr std::size_t kRecordBytes = 16;

class IntelHexText {
  public:
    // Records of at most 16 bytes, none across a 64 KiB boundary, since a record's own
    // address has only 16 bits.
    void Data(uint64_t address, const std::vector<uint8_t>& bytes) {
        for (std::size_t i = 0; i < bytes.size();) {
            const uint64_t at = address + i;
            // Nothing the reader makes goes this high; a position beyond the reach of the
            // format cannot be written at all.
            if (at >= kIntelHexReach)
                return;
            SetUpper(static_cast<uint16_t>(at >> 16));
            const std::size_t toBoundary = 0x10000 - (at & 0xFFFF);
            const std::size_t n = std::min({kRecordBytes, bytes.size() - i, toBoundary});
            Record(0x00, static_cast<uint16_t>(at & 0xFFFF), &bytes[i], n);
            i += n;
        }
    }

    std::string End() {
        Record(0x01, 0, nullptr, 0);
        return std::move(text_);
    }

  private:
    void SetUpper(uint16_t upper) {
        if (upper == upper_)
            return;
        const uint8_t value[2] = {static_cast<uint8_t>(upper >> 8), static_cast<uint8_t>(upper)};
        Record(0x04, 0, value, 2);
        upper_ = upper;
    }

    void Record(uint8_t type, uint16_t address, const uint8_t* data, std::size_t n) {
        uint8_t sum = static_cast<uint8_t>(n + (address >> 8) + address + type);
        text_ += ':';
        Byte(static_cast<uint8_t>(n));
        Byte(static_cast<uint8_t>(address >> 8));
        Byte(static_cast<uint8_t>(address));
        Byte(type);
        for (std::size_t i = 0; i < n; ++i) {
            Byte(data[i]);
            sum = static_cast<uint8_t>(sum + data[i]);
        }
        Byte(static_cast<uint8_t>(-sum));
        text_ += "\r\n";
    }

    void Byte(uint8_t value) {
        static constexpr char kDigits[] = "0123456789ABCDEF";
        text_ += kDigits[value >> 4];
        text_ += kDigits[value & 0x0F];
    }

    std::string text_;
    uint16_t upper_ = 0;  // a file without 04 records starts at 0
};

}  // namespace

std::string ElfImageAsIntelHex(const ElfImage& image, uint64_t eepromPosition) {
    IntelHexText hex;
    for (const auto& chunk : image.code)
        hex.Data(chunk.address, chunk.bytes);
    for (const auto& chunk : image.eeprom) {
        if (chunk.address < kIntelHexReach && eepromPosition < kIntelHexReach)
            hex.Data(eepromPosition + chunk.address, chunk.bytes);
    }
    return hex.End();
}

void ApplyElfFuses(const ElfImage& image, ConfigBits& bits) {
    uint8_t* const fuses[] = {&bits.FuseLow, &bits.FuseHigh, &bits.FuseExt};
    // The parts with more fuse bytes than these three are programmed some other way.
    const std::size_t n = std::min(image.fuses.size(), std::size(fuses));
    for (std::size_t i = 0; i < n; ++i)
        *fuses[i] = image.fuses[i];
    if (image.lock)
        bits.LockBits = *image.lock;
}

}  // namespace kardo
