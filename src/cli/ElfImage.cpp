#include "cli/ElfImage.h"

namespace kardo {

ElfReadResult ReadElfImage(const std::vector<uint8_t>&) {
    return {std::nullopt, "ELF files cannot be read yet"};
}

std::string ElfImageAsIntelHex(const ElfImage&, uint64_t) {
    return ":00000001FF\n";
}

void ApplyElfFuses(const ElfImage&, ConfigBits&) {}

}  // namespace kardo
