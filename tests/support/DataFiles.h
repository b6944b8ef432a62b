// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kardo::test {

// Well-formed data files of our own making, for tests and benchmarks that need a file
// of a given size (the files from outside tools live in tests/fileio/data).
// Intel HEX: `perRecord` data bytes a record, type 04 records at every 64 KiB.
std::string IntelHexText(uint32_t address, const std::vector<uint8_t>& data,
                         std::size_t perRecord = 32);
// Motorola: S2 records of `perRecord` bytes and an S8 end record.
std::string SRecordText(uint32_t address, const std::vector<uint8_t>& data,
                        std::size_t perRecord = 32);

// A reproducible byte pattern.
std::vector<uint8_t> PatternBytes(std::size_t n, uint8_t seed);

}  // namespace kardo::test
