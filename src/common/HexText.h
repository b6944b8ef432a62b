// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kardo {

// Reads the hexadecimal text that the dialogs take: each character shifts the value
// one digit and adds (code AND 0xF), plus 9 for codes above '@', so 'a'..'f' work like
// 'A'..'F'. No character is rejected here; dialogs validate first where they must.
uint32_t ParseHexText(std::string_view text);

// The whole text as an unsigned number in `base`: no sign, no spaces, nothing after it,
// no overflow; nullopt otherwise.
std::optional<uint64_t> ParseUnsigned(std::string_view text, int base);
// Decimal, or hexadecimal after "0x": the numbers of the command line and the
// environment.
std::optional<uint64_t> ParseDecimalOrHex(std::string_view text);

// The message for a text that should have been a number, as the program says it
// wherever a typed or loaded field is no number.
std::string NotAnIntegerText(std::string_view text);

}  // namespace kardo
