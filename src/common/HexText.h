#pragma once

#include <cstdint>
#include <string_view>

namespace kardo {

// Reads the hexadecimal text that the dialogs take: each character shifts the value
// one digit and adds (code AND 0xF), plus 9 for codes above '@', so 'a'..'f' work like
// 'A'..'F'. No character is rejected here; dialogs validate first where they must.
uint32_t ParseHexText(std::string_view text);

}  // namespace kardo
