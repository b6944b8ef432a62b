// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

namespace kardo {

// What a data file's first bytes show it to be.
enum class FileContent {
    IntelHex,  // ':' and hexadecimal digits
    Motorola,  // 'S', a record type digit and hexadecimal digits
    Elf,       // 0x7F "ELF"
    Jedec,     // text whose fields include a fuse count or a fuse list
    Binary,    // anything else
};

FileContent DetectFileContent(const std::vector<uint8_t>& bytes);

}  // namespace kardo
