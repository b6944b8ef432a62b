// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Between reading an ELF file and the image it gives: which memory each loaded byte
// belongs to. Only ElfImage.cpp uses this.
#include <cstdint>
#include <string>
#include <vector>

#include "fileio/ElfImage.h"

namespace kardo::elf {

// Bytes the file asks to load: `size` of them at load address `address`, from file
// offset `offset`, which the reader has checked to lie inside the file.
struct Extent {
    uint64_t address = 0;
    uint64_t offset = 0;
    uint64_t size = 0;
};

std::string Hex(uint64_t value);

// Puts every extent's bytes (taken from `bytes`) into the memory of `image.machine` it
// loads to. Returns why the file cannot be used, or nothing.
std::string FillMemories(const std::vector<Extent>& extents, const std::vector<uint8_t>& bytes,
                         ElfImage& image);

}  // namespace kardo::elf
