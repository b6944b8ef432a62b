#pragma once

#include <cstdint>

namespace kardo {

// Serial numbers for production runs: before each Program the next number is written
// into the buffer as `digits` ASCII characters ('0'-'9', and 'A'-'F' in hex), one byte
// each, at `address`, most significant digit first unless `msdFirst` is false; after a
// successful program and verify the number advances by `increment`.
struct SerialNumberSettings {
    bool enabled = false;  // "Serial Number Insertion"
    uint8_t digits = 2;    // 2, 4 ... 16
    uint32_t increment = 1;
    uint64_t next = 0;  // the number the next Program writes
    uint32_t address = 0;
    bool hex = true;
    bool msdFirst = true;
};

}  // namespace kardo
