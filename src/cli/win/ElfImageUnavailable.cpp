// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows kardo-cli is built without libelf, which has no Windows build to link: an
// ELF file is refused with the way round it, never half read.
#include "cli/ElfImage.h"

namespace kardo {

ElfReadResult ReadElfImage(const std::vector<uint8_t>&) {
    return {std::nullopt,
            "this kardo-cli cannot read ELF files (it is built without an ELF library); "
            "convert the file to Intel HEX first, as avr-objcopy -O ihex does, or use the "
            "Linux kardo-cli"};
}

}  // namespace kardo
