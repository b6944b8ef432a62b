// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the database compiler and the dumper share: the file layout's sizes, hex text,
// and the reading of one device table.
#include <toml++/toml.h>
#include <cstddef>
#include <cstdint>
#include <string>

#include "DatabaseSource.h"
#include "devicedb/DeviceRecord.h"

namespace kardo::dbsource {

inline constexpr std::size_t kHeaderLength = 13;
inline constexpr std::size_t kEntryLength = 16;
inline constexpr std::size_t kManufacturerNameLength = 15;
inline constexpr std::size_t kFirstEntry = 16;

[[noreturn]] inline void Fail(const std::string& message) {
    throw SourceError{message};
}

// Bytes as upper-case hex digits, two a byte.
std::string ToHex(const uint8_t* bytes, std::size_t n);

// A device table as a record; throws SourceError naming `what` and the key at fault.
DeviceRecord RecordFrom(const toml::table& device, const std::string& what);

}  // namespace kardo::dbsource
