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
// The table's `aliases` are left to RecordsFrom.
DeviceRecord RecordFrom(const toml::table& device, const std::string& what);

// A device table as its record, then one copy of it under each name of its `aliases`
// list (the names one part is also sold and searched under): the copies differ in the
// name alone, so they cannot drift apart.
std::vector<DeviceRecord> RecordsFrom(const toml::table& device, const std::string& what);

}  // namespace kardo::dbsource
