// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows build has no libelf to link (Debian has none for mingw-w64): an ELF file is
// refused with the way round it, never half read.
#include "fileio/ElfImage.h"

namespace kardo {

ElfReadResult ReadElfImage(const std::vector<uint8_t>&) {
    return {std::nullopt,
            "this kardo-cli cannot read ELF files (it is built without an ELF library); "
            "convert the file to Intel HEX first, as avr-objcopy -O ihex does, or use the "
            "Linux kardo-cli"};
}

}  // namespace kardo
