// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/HexText.h"

#include <charconv>

namespace kardo {

uint32_t ParseHexText(std::string_view text) {
    uint32_t value = 0;
    for (const char c : text) {
        const auto code = static_cast<unsigned char>(c);
        value = value * 16 + (code & 0xFu) + (code > 0x40 ? 9u : 0u);
    }
    return value;
}

std::optional<uint64_t> ParseUnsigned(std::string_view text, int base) {
    uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<uint64_t> ParseDecimalOrHex(std::string_view text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        return ParseUnsigned(text.substr(2), 16);
    }
    return ParseUnsigned(text, 10);
}

std::string NotAnIntegerText(std::string_view text) {
    // Built up in place: GCC 12 at -O3 takes "'" + std::string(...) for an overlapping copy.
    std::string message = "'";
    message.append(text);
    message += "' is not a valid integer value";
    return message;
}

}  // namespace kardo
