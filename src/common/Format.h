// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// mingw-w64 checks "printf" formats against the Microsoft runtime's, which lack %zu; the
// Windows build uses mingw's own C99 printf (__USE_MINGW_ANSI_STDIO), checked as GNU's.
#ifdef __MINGW_PRINTF_FORMAT
#define KARDO_PRINTF_FORMAT __MINGW_PRINTF_FORMAT
#else
#define KARDO_PRINTF_FORMAT printf
#endif

namespace kardo {

// printf-style formatting into a std::string; the user interface quotes its number
// formats in printf notation ("0x%.2X", "%.4X", ...), so we keep that notation.
[[gnu::format(KARDO_PRINTF_FORMAT, 1, 2)]] std::string Format(const char* pattern, ...);

// A voltage as the information panel shows it: two decimals right-aligned in five
// characters, then "V" (5.0 -> " 5.00V").
std::string FormatVolts(float volts);

}  // namespace kardo
