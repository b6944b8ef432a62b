// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/TestDatabases.h"

#include "support/TempDir.h"

namespace kardo::test {

namespace {

constexpr const char* kEeproms = R"(
[[manufacturer]]
name = "ATMEL"
[[manufacturer.device]]
Name = "AT28C16"
Family = "E"
Vcc = 5.0
LastAddress = 0x7FF
BlankValue = 0xFF
ButtonMask = 0xE7
DefaultOptions = 0x00
[[manufacturer.device]]
Name = "AT28C256"
Family = "E"
Vcc = 5.0
LastAddress = 0x7FFF
BlankValue = 0xFF
ManufId = 0x1F
DeviceId = 0x08
DeviceId2 = 0x99
AdapterCode = 4
ButtonMask = 0xE7
DefaultOptions = 0x05
[[manufacturer]]
name = "XICOR"
[[manufacturer.device]]
Name = "X28C64"
Family = "E"
Vcc = 5.0
LastAddress = 0x1FFF
BlankValue = 0xFF
ButtonMask = 0xE7
)";

constexpr const char* kMicros = R"(
[[manufacturer]]
name = "MICROCHIP"
[[manufacturer.device]]
Name = "PIC16F84A"
Family = "C"
Variant = 2
Vcc = 5.0
Vpp = 13.0
LastAddress = 0x7FF
ManufId = 0x05
DeviceId = 0x60
DeviceId2 = 0x77
ConfigCode = 0x13
ProgParam = 0x21
BlankValue = 0x3F
EepromSize = 63
ConfigCount = 2
ConfigMask = [0x3F, 0xFF]
DefaultOptions = 0x0D
ButtonMask = 0xFF
ButtonMask2 = 0x05
ProgStepMask = 0x17
[[manufacturer.device]]
Name = "PIC18F452"
Family = "C"
Variant = 18
Vcc = 5.0
Vpp = 13.0
LastAddress = 0x7FFF
ConfigCode = 0x30
BlankValue = 0xFF
EepromSize = 255
ConfigCount = 14
ConfigMask = [0x27, 0x0F, 0x0F, 0x01, 0x00, 0x85, 0x00, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40, 0x00]
ButtonMask = 0xFF
ButtonMask2 = 0x05
[[manufacturer]]
name = "ATMEL"
[[manufacturer.device]]
Name = "ATmega8"
Family = "M"
Variant = 32
Vcc = 5.0
LastAddress = 0x1FFF
ManufId = 0x1E
DeviceId = 0x93
DeviceId2 = 0x07
ConfigCode = 0xCB
BlankValue = 0xFF
EepromSize = 512
DefaultOptions = 0x04
ButtonMask = 0xFF
ButtonMask2 = 0x05
)";

}  // namespace

void WriteTestDatabases(const std::filesystem::path& directory, bool eeprom, bool micro) {
    if (eeprom) {
        WriteDatabase(directory / "KARDO_e.usb", kEeproms);
    }
    if (micro) {
        WriteDatabase(directory / "KARDO_m.usb", kMicros);
    }
}

}  // namespace kardo::test
