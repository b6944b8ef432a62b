// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What avr-libc's device header says about one AVR, as the AVR compiler's preprocessor
// prints it: the signature, the memory sizes, and the fuse bytes with their bits and
// factory values. Read from the toolchain, so that the database is held against data
// no one here wrote.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kardo::dbsource {

// One fuse bit: its name without the FUSE_ prefix, its byte (0 low, 1 high, 2 extended)
// and its position.
struct AvrFuseBit {
    std::string name;
    int byte = 0;
    int bit = 0;
};

struct AvrLibcPart {
    std::array<std::optional<int64_t>, 3> signature;
    std::optional<int64_t> flashEnd, eepromEnd, pageSize;
    // LFUSE_DEFAULT, HFUSE_DEFAULT, EFUSE_DEFAULT; none where the part lacks the byte.
    std::array<std::optional<uint8_t>, 3> fuseDefault;
    std::vector<AvrFuseBit> fuseBits;
};

// Reads the definitions of `avr-gcc -E -dD` output. The header defines each fuse byte's
// bits before that byte's xFUSE_DEFAULT, which is how a bit is given its byte. An empty
// `error` on return means the text was understood.
AvrLibcPart ParseAvrDefinitions(std::string_view preprocessed, std::string& error);

// The avr-libc data of the part called `name` in the database ("ATmega8", "ATmega48/V":
// the text before a slash is the part). Runs `avr-gcc -mmcu=<part> -E -dD` on an
// #include <avr/io.h>; a part the compiler has no -mmcu for, but avr-libc has a header
// for, is read through that header's device macro. `error` says why nothing was read.
AvrLibcPart ReadAvrLibc(const std::string& name, std::string& error);

// The avr-gcc -mmcu name of a database name ("ATmega48/V" -> "atmega48"); empty when the
// name is not a plain part name.
std::string McuName(const std::string& name);

}  // namespace kardo::dbsource
