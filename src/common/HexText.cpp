#include "common/HexText.h"

namespace kardo {

uint32_t ParseHexText(std::string_view text) {
    uint32_t value = 0;
    for (const char c : text) {
        const auto code = static_cast<unsigned char>(c);
        value = value * 16 + (code & 0xFu) + (code > 0x40 ? 9u : 0u);
    }
    return value;
}

}  // namespace kardo
