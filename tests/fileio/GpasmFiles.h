// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The PIC files gpasm made for the loader's tests (tests/fileio/data), with the part
// each is for and the format it is in.
#include <array>
#include <cstdint>
#include <filesystem>

#include "fileio/FileSettings.h"
#include "support/TestPaths.h"

namespace kardo::test {

inline const std::filesystem::path kLoaderData = kardo::test::SourceDir() / "tests/fileio/data";

struct GpasmFile {
    const char* file;
    const char* part;
    uint8_t fileFormat;
    bool pic18;
};

inline constexpr std::array<GpasmFile, 6> kGpasmFiles{{
    {"pic16f84a-inhx8m.hex", "PIC16F84A", format::Inh8m, false},
    {"pic16f84a-inhx16.hex", "PIC16F84A", format::Inx16, false},
    {"pic16f628a-inhx8m.hex", "PIC16F628A", format::Inh8m, false},
    {"pic12f508-inhx8m.hex", "PIC12F508", format::Inh8m, false},
    {"pic16f877a-inhx8m.hex", "PIC16F877A", format::Inh8m, false},
    {"pic18f452-inhx32.hex", "PIC18F452", format::Inh8m, true},
}};

}  // namespace kardo::test
