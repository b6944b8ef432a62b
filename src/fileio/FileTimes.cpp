// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileio/FileTimes.h"

#include <chrono>
#include <system_error>

namespace kardo {

std::optional<LastWriteTime> LastWriteTimeOf(const std::filesystem::path& file) {
    std::error_code error;
    const auto time = std::filesystem::last_write_time(file, error);
    if (error) {
        return std::nullopt;
    }
    using Ticks = std::chrono::duration<int64_t, std::ratio<1, 10'000'000>>;
    const auto since1970 = std::chrono::file_clock::to_sys(time).time_since_epoch();
    const auto ticks = static_cast<uint64_t>(std::chrono::duration_cast<Ticks>(since1970).count());
    return LastWriteTime{static_cast<uint32_t>(ticks), static_cast<uint32_t>(ticks >> 32)};
}

}  // namespace kardo
