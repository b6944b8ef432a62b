// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "devicedb/DeviceBuffer.h"
#include "fileio/LoadBuffer.h"
#include "fileio/LoadErrors.h"

namespace kardo {

// The value of each character as a hexadecimal digit, 0xFF for anything else.
inline constexpr std::array<uint8_t, 256> kHexDigit = [] {
    std::array<uint8_t, 256> table{};
    table.fill(0xFF);
    for (int c = 0; c < 10; ++c)
        table['0' + c] = static_cast<uint8_t>(c);
    for (int c = 0; c < 6; ++c) {
        table['A' + c] = static_cast<uint8_t>(10 + c);
        table['a' + c] = static_cast<uint8_t>(10 + c);
    }
    return table;
}();

// What the record readers of one load share: the file in memory with a read position,
// the running checksum of the current record, and the buffer with the rule every
// stored byte follows. A reader that fails leaves the reason here and returns
// `Failure()`; nothing is ever read past the end of the file or stored outside the
// buffer.
class LoadSession {
  public:
    LoadSession(const std::vector<uint8_t>& file, DeviceBuffer& buffer, LoadSizes sizes,
                std::function<void(int percent)> progress);

    // ---- the text formats ----
    // Skips to the next record mark and past it, and starts the record's checksum. False
    // when there is no next record: `result` is then `endOfFile` (the file ended before
    // its end record), or "not this format" when the very first character of the file,
    // which must be the mark, is not.
    bool NextRecord(char mark, uint8_t endOfFile, uint8_t& result);
    // Reads the record's checksum byte: false with `result` set when it cannot be read,
    // or when the record's bytes with it do not sum to `wantedSum`.
    bool CheckRecord(uint8_t wantedSum, uint8_t& result);
    // Whether another record mark follows in the rest of the file.
    bool MoreRecords(char mark) const;
    // One character, for the Motorola record type; false at the end of the file.
    bool Character(char& c);
    // Two characters as one hexadecimal byte, added to the record checksum.
    bool Byte(uint8_t& value) {
        if (file_.size() - at_ < 2)
            return EndedInsideRecord();
        const uint8_t high = kHexDigit[file_[at_]];
        const uint8_t low = kHexDigit[file_[at_ + 1]];
        if ((high | low) > 0xF)
            return NotHexadecimal();
        at_ += 2;
        value = static_cast<uint8_t>(high << 4 | low);
        sum_ = static_cast<uint8_t>(sum_ + value);
        return true;
    }
    bool Word(uint16_t& value) {  // high byte first
        uint8_t high = 0, low = 0;
        if (!Byte(high) || !Byte(low))
            return false;
        value = static_cast<uint16_t>(high << 8 | low);
        return true;
    }
    // Counts the record's checksum from here (Motorola leaves its type out of it).
    void StartRecord() { sum_ = 0; }

    // ---- the buffer ----
    // Stores one byte at position p: above the capacity marks the file as bigger than the
    // device; outside the buffer stops the load. (Below 0 wraps to beyond the size.)
    bool Store(int64_t p, uint8_t value) {
        if (p > sizes_.capacity)
            bigger_ = true;
        if (static_cast<uint64_t>(p) >= size_)
            return Fail(load::OutsideBuffer);
        const auto at = static_cast<std::size_t>(p);
        bytes_[at] = value;
        lowest_ = std::min(lowest_, at);
        highest_ = std::max(highest_, at);
        return true;
    }
    // The whole rest of the file, from position p on (binary files).
    bool StoreAll(int64_t p);
    void ShowProgress(int64_t writePosition);

    uint8_t Failure() const { return failure_; }
    // The offending text of a field that is not hexadecimal: "0x" and its two characters.
    const std::string& BadField() const { return badField_; }
    bool BiggerThanDevice() const { return bigger_; }
    // Leaves the highest and lowest written positions with the buffer (0 when nothing
    // was written).
    void Finish();

  private:
    bool NotHexadecimal();
    bool EndedInsideRecord();
    bool Fail(uint8_t code) {
        failure_ = code;
        return false;
    }

    const std::vector<uint8_t>& file_;
    std::size_t at_ = 0;
    DeviceBuffer& buffer_;
    uint8_t* const bytes_;
    const uint64_t size_;
    LoadSizes sizes_;
    std::function<void(int)> progress_;
    int shownPercent_ = -1;
    uint8_t sum_ = 0;
    uint8_t failure_ = load::Ok;
    std::string badField_;
    bool bigger_ = false;
    std::size_t lowest_ = SIZE_MAX;
    std::size_t highest_ = 0;
};

}  // namespace kardo
