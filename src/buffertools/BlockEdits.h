// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "devicedb/DeviceBuffer.h"

namespace kardo {

// The whole-stretch changes of the buffer dialogs. Each stays below `range` and below
// the buffer's size, whatever addresses it is given.

enum class FillResult {
    Filled,
    ToBelowFrom,  // nothing written
    BeyondRange,  // From or To past the last byte the editor reaches: nothing written
};
// Writes To - From + 1 bytes from From on: the low byte of `data`, or for a word its high
// byte then its low byte, alternately, starting with the high byte at From.
FillResult FillBlock(DeviceBuffer& buffer, std::size_t range, uint32_t from, uint32_t to,
                     uint16_t data, bool word);

// True when `count` bytes from `from` and `count` bytes from `to` share a byte.
bool BlocksOverlap(uint32_t from, uint32_t count, uint32_t to);

// The value a move leaves behind: nothing (the text is empty) or one byte of two digits.
// nullopt for any other text.
struct Replacement {
    std::optional<uint8_t> value;
};
std::optional<Replacement> ParseReplacement(std::string_view text);

// Copies `count` bytes from `from` to `to`; with a replacement the source bytes are
// overwritten with it after being read, so where a move's source and destination overlap
// the destination holds the bytes as they were. Reading stops at the end of `range`
// and writing drops what falls past it. Returns the number of bytes read.
std::size_t CopyMoveBlock(DeviceBuffer& buffer, std::size_t range, uint32_t from, uint32_t count,
                          uint32_t to, Replacement replace);

}  // namespace kardo
