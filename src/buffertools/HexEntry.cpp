// SPDX-License-Identifier: GPL-3.0-or-later
#include "buffertools/HexEntry.h"

#include <algorithm>

#include "common/HexText.h"

namespace kardo {

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

bool IsHexText(std::string_view text) {
    return std::all_of(text.begin(), text.end(), IsHexDigit);
}

std::optional<uint32_t> ParseHexNumber(std::string_view text) {
    if (text.empty() || text.size() > 8 || !IsHexText(text)) {
        return std::nullopt;
    }
    return ParseHexText(text);
}

HexPattern ParseHexPattern(std::string_view text) {
    HexPattern pattern;
    if (text.empty() || text.size() % 2 != 0) {
        pattern.problem = HexPattern::Problem::OddLength;
        return pattern;
    }
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const std::string_view pair = text.substr(i, 2);
        if (!IsHexText(pair)) {
            pattern.problem = HexPattern::Problem::NotHex;
            pattern.offending = std::string(pair);
            pattern.bytes.clear();
            return pattern;
        }
        pattern.bytes.push_back(static_cast<uint8_t>(ParseHexText(pair)));
    }
    return pattern;
}

}  // namespace kardo
