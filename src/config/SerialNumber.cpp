// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/SerialNumber.h"

#include <algorithm>
#include <limits>

#include "common/Format.h"

namespace kardo {

std::optional<std::string> SerialNumberText(uint64_t number, uint8_t digits, bool hex) {
    const uint64_t base = hex ? 16 : 10;
    std::string text(digits, '0');
    for (std::size_t i = digits; i-- > 0;) {
        text[i] = "0123456789ABCDEF"[number % base];
        number /= base;
    }
    if (number != 0) {
        return std::nullopt;
    }
    return text;
}

std::optional<uint64_t> ParseSerialNumber(const std::string& text, bool hex) {
    const uint64_t base = hex ? 16 : 10;
    uint64_t value = 0;
    for (const char c : text) {
        uint64_t digit = 0;
        if (c >= '0' && c <= '9') {
            digit = static_cast<uint64_t>(c - '0');
        } else if (hex && c >= 'A' && c <= 'F') {
            digit = static_cast<uint64_t>(c - 'A' + 10);
        } else if (hex && c >= 'a' && c <= 'f') {
            digit = static_cast<uint64_t>(c - 'a' + 10);
        } else {
            return std::nullopt;
        }
        if (value > (std::numeric_limits<uint64_t>::max() - digit) / base) {
            return std::nullopt;
        }
        value = value * base + digit;
    }
    return value;
}

bool WritesSerialNumber(const DeviceRecord& record, const SerialNumberSettings& serial) {
    return serial.enabled && (record.OptionMask() & 0x80) != 0;
}

SerialInsertion InsertSerialNumber(DeviceBuffer& buffer, const DeviceRecord& record,
                                   const SerialNumberSettings& serial) {
    const std::optional<std::string> text =
        SerialNumberText(serial.next, serial.digits, serial.hex);
    if (!text) {
        return {false, Format(" Serial Number %llu has more than %u digits: nothing programmed",
                              static_cast<unsigned long long>(serial.next), serial.digits)};
    }
    const uint64_t end = uint64_t{serial.address} + serial.digits;
    const auto deviceSize = static_cast<uint64_t>(std::max<int64_t>(record.Size(), 0));
    if (end > deviceSize || end > buffer.BufferSize()) {
        return {false,
                Format(" Serial Number %s does not fit the device @ 0x%X: nothing programmed",
                       text->c_str(), serial.address)};
    }
    // One ASCII digit per byte: readable in the editor and in a dump, and what the
    // firmware of a product prints or sends as it is.
    for (std::size_t i = 0; i < serial.digits; ++i) {
        buffer[serial.address + i] =
            static_cast<uint8_t>(serial.msdFirst ? (*text)[i] : (*text)[serial.digits - 1 - i]);
    }
    return {true, Format(" Serial Number %s @ 0x%X", text->c_str(), serial.address)};
}

void AdvanceSerialNumber(SerialNumberSettings& serial) {
    serial.next += serial.increment;
}

}  // namespace kardo
