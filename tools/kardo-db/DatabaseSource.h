// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kardo::dbsource {

// Thrown for a source or database file that cannot be turned into the other form; the
// message names the file position or the device and key at fault.
struct SourceError {
    std::string message;
};

// Compiles TOML source text into the bytes of a database file.
std::vector<uint8_t> Build(std::string_view tomlText);

// Renders a database file as TOML source that Build turns back into the same bytes.
std::string Dump(const std::vector<uint8_t>& file);

}  // namespace kardo::dbsource
