// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "config/ConfigBits.h"
#include "devicedb/DeviceBuffer.h"
#include "fileio/ElfImage.h"
#include "fileio/FileIoHost.h"
#include "fileio/FileLoader.h"

namespace kardo {

// Whether the bytes begin as every ELF file does (0x7F "ELF"). The window reads such a
// file as a program whatever its name or the format chosen for it: no other format we
// load can begin so.
bool LooksLikeElf(const std::vector<uint8_t>& bytes);

struct ElfLoadOutcome {
    // Why the file is no program we can load; the buffer and the bits are then untouched.
    std::string error;
    uint8_t result = load::Ok;  // the load's result code otherwise
    bool fusesFromFile = false;
    bool eepromFromFile = false;  // a .eeprom section
};

// Loads an AVR or 8051 executable into the buffer with the request's fill and offset,
// logs what it loaded, section by section, and takes its fuse and lock bytes into `bits`.
// For an ISP part it also says that its .eeprom section is not programmed.
ElfLoadOutcome LoadElfBytes(const std::vector<uint8_t>& bytes, const LoadRequest& request,
                            DeviceBuffer& buffer, ConfigBits& bits, FileIoHost& host);

// The window's load of a named file: an ELF program, known by its first bytes, through
// the ELF reader (a file that is no program we can load is refused with the reason, in
// the log); any other file in the format the settings name. Returns the result code.
uint8_t LoadFileOrElf(const LoadRequest& request, DeviceBuffer& buffer, ConfigBits& bits,
                      FileIoHost& host);

// The fuse and lock bytes the file carries, over those already in `bits`.
void ApplyElfFuses(const ElfImage& image, ConfigBits& bits);

}  // namespace kardo
