// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/MessageCatalogue.h"

#include <array>

#include "common/Format.h"

namespace kardo {

std::string ErrorLine(unsigned code, const std::string& name, std::size_t index,
                      uint8_t bufferByte, uint8_t value) {
    switch (code) {
        case 0:
            return " ERASE Error";
        case 5:
            return " Data file not found";
        case 6:
            return " NO adapter found !!!";
        case 7:
            return " WRONG adapter found !!!";
        case 8:
            return " Incorrect Version Data file !!!";
        case 9:
            return " " + name + " Locked";
        case 10:
        case 11: {
            // The name stands between the two bytes: "... Ram = 0xFF AT28C256 = 0x00". It is
            // placed after formatting, so a '%' in a name cannot act as a conversion.
            return Format("  Compare Error @ 0x%.5zX Ram = 0x%.2X ", index, unsigned{bufferByte}) +
                   name + Format(" = 0x%.2X", unsigned{value});
        }
        case 12:
            return " " + name + " not blank";
        case 13:
            return " Problem sending MCU file";
        case 14:
            return " Problem sending FPGA file";
        default:
            return " ** unknown ERROR **";
    }
}

std::string ResultLine(unsigned code, const std::string& name) {
    static const std::array<const char*, 8> kDeviceSuffix{
        " is Blank", " Erased", " Locked", " and RAM Compare OK",
        " Read",     " Programmed", " Verified", " is clean"};
    if (code < kDeviceSuffix.size()) {
        return " " + name + kDeviceSuffix[code];
    }
    switch (code) {
        case 8:
            return " FPGA programmed OK";
        case 9:
            return " MCU file sent OK";
        case 10:
            return " Parameters sent OK";
        default:
            return {};
    }
}

}  // namespace kardo
