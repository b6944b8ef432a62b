// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

namespace kardo {

// A file's last-write time as two 32-bit halves of a count of 100 ns ticks.
struct LastWriteTime {
    uint32_t low = 0;
    uint32_t high = 0;
};

// nullopt when the file is not there (or cannot be looked at).
std::optional<LastWriteTime> LastWriteTimeOf(const std::filesystem::path& file);

// Whether a file whose time was `stored` when it was loaded has been written since:
// the high half not below the stored one, and the low half changed. A file rewritten
// with the same time is not taken for a new one.
inline bool WrittenSince(const LastWriteTime& now, const LastWriteTime& stored) {
    return now.high >= stored.high && now.low != stored.low;
}

}  // namespace kardo
