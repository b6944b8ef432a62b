#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "devicedb/DeviceBuffer.h"
#include "fileio/LoadBuffer.h"
#include "fileio/LoadErrors.h"

namespace kardo {

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
    enum class Scan { Found, EndOfFile, WrongFirstCharacter };
    // Skips to the next record mark and past it. Only the very first character of the
    // file must be the mark itself.
    Scan ScanTo(char mark);
    // One character, for the Motorola record type; false at the end of the file.
    bool Character(char& c);
    // Two characters as one hexadecimal byte, added to the record checksum.
    bool Byte(uint8_t& value);
    bool Word(uint16_t& value);  // high byte first
    void StartRecord() { sum_ = 0; }
    uint8_t Sum() const { return sum_; }

    // ---- the buffer ----
    // Stores one byte at position p: above the capacity marks the file as bigger than the
    // device; outside the buffer stops the load.
    bool Store(int64_t p, uint8_t value);
    // The whole rest of the file, from position p on (binary files).
    bool StoreAll(int64_t p);
    void ShowProgress(int64_t writePosition);

    uint8_t Failure() const { return failure_; }
    // The offending text of a field that is not hexadecimal: "0x" and its two characters.
    const std::string& BadField() const { return badField_; }
    bool BiggerThanDevice() const { return bigger_; }
    bool WroteAnything() const { return wroteAnything_; }

private:
    bool Fail(uint8_t code) {
        failure_ = code;
        return false;
    }
    void Written(std::size_t first, std::size_t last);

    const std::vector<uint8_t>& file_;
    std::size_t at_ = 0;
    DeviceBuffer& buffer_;
    LoadSizes sizes_;
    std::function<void(int)> progress_;
    int shownPercent_ = -1;
    uint8_t sum_ = 0;
    uint8_t failure_ = load::Ok;
    std::string badField_;
    bool bigger_ = false;
    bool wroteAnything_ = false;
};

}  // namespace kardo
