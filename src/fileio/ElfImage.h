// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "config/ConfigBits.h"

namespace kardo {

// The loadable contents of an AVR or 8051 executable (as avr-gcc links them, or an 8051
// toolchain that writes ELF), read with libelf.
struct ElfImage {
    enum class Machine { Avr, Mcs51 };
    struct Chunk {
        uint64_t address = 0;  // the load address in the chip's own memory
        std::vector<uint8_t> bytes;
    };
    Machine machine = Machine::Avr;
    std::vector<Chunk> code;    // program memory
    std::vector<Chunk> eeprom;  // AVR: the .eeprom section, addresses from 0
    // AVR: the .fuse section (low, high, extended, as many as the part has) and .lock.
    std::vector<uint8_t> fuses;
    std::optional<uint8_t> lock;
    // The sections that hold loaded bytes, as the section headers name them, for telling
    // the user what a file brought; empty for a file without section headers.
    struct Section {
        std::string name;
        uint64_t size = 0;
    };
    std::vector<Section> sections;
};

struct ElfReadResult {
    std::optional<ElfImage> image;
    std::string error;  // why the file cannot be used, when there is no image
};

// Reads an ELF file held in memory. Never reads outside `bytes`.
ElfReadResult ReadElfImage(const std::vector<uint8_t>& bytes);

// The fuse and lock bytes the file carries, over those already in `bits`.
void ApplyElfFuses(const ElfImage& image, ConfigBits& bits);

}  // namespace kardo
