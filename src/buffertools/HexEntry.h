// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kardo {

// The checks the buffer dialogs make on what the user types. Every number there is
// hexadecimal.

bool IsHexDigit(char c);
// True when every character is 0-9, A-F or a-f; an empty text passes.
bool IsHexText(std::string_view text);

// An address or a count: one to eight hexadecimal digits. Anything else, the empty
// text included, is no number at all, so an action that needs one changes nothing.
std::optional<uint32_t> ParseHexNumber(std::string_view text);

// The bytes of a hexadecimal search text, two digits a byte.
struct HexPattern {
    enum class Problem { None, OddLength, NotHex };
    Problem problem = Problem::None;
    std::vector<uint8_t> bytes;
    std::string offending;  // the pair that is no byte, for NotHex
};
HexPattern ParseHexPattern(std::string_view text);

}  // namespace kardo
