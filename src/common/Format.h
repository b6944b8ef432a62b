#pragma once

#include <string>

namespace kardo {

// printf-style formatting into a std::string; the user interface quotes its number
// formats in printf notation ("0x%.2X", "%.4X", ...), so we keep that notation.
[[gnu::format(printf, 1, 2)]] std::string Format(const char* pattern, ...);

// A voltage as the information panel shows it: two decimals right-aligned in five
// characters, then "V" (5.0 -> " 5.00V").
std::string FormatVolts(float volts);

}  // namespace kardo
