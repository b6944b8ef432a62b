// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Format.h"

#include <cstdarg>
#include <cstdio>

namespace kardo {

std::string Format(const char* pattern, ...) {
    va_list args;
    va_start(args, pattern);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, pattern, copy);
    va_end(copy);
    std::string text;
    if (length > 0) {
        text.resize(static_cast<size_t>(length));
        std::vsnprintf(text.data(), text.size() + 1, pattern, args);
    }
    va_end(args);
    return text;
}

std::string FormatVolts(float volts) { return Format("%5.2fV", static_cast<double>(volts)); }

}  // namespace kardo
