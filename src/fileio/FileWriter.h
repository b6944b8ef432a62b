// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "devicedb/DeviceBuffer.h"
#include "devicedb/DeviceRecord.h"
#include "fileio/FileIoHost.h"
#include "fileio/FileSettings.h"

namespace kardo {

// What a save works from. `start` and `stop` (both included) are buffer positions; they
// matter only for the byte-organised families, PICs and fuse maps are saved whole.
struct SaveRequest {
    std::filesystem::path file;
    const DeviceRecord& record;
    uint8_t format = format::IntelHex;
    uint32_t start = 0;
    uint32_t stop = 0;
    bool oddEven = false;
};

// Why a save range cannot be written, or empty: the start above the stop, or the stop
// beyond the buffer.
std::string SaveRangeProblem(const SaveRequest& request, const DeviceBuffer& buffer);

// The bytes of the file a save writes. `progress` hears 0 to 100 as it goes. The range
// must be one SaveRangeProblem accepts.
std::string RenderSaveFile(const SaveRequest& request, const DeviceBuffer& buffer,
                           const std::function<void(int percent)>& progress);

// What a save came to: code 0 when the file was written, else 1. When the write itself
// failed, `writeError` holds the system's reason, for the caller to pass on: the message
// box says only "File ERROR".
struct SaveOutcome {
    uint8_t code = 0;
    std::string writeError;
    bool ok() const { return code == 0; }
};

// Writes the file. It replaces an earlier file of that name only once it has been written
// whole: a save that fails shows "File ERROR" and leaves the earlier file as it was.
SaveOutcome SaveFile(const SaveRequest& request, const DeviceBuffer& buffer, FileIoHost& host);

}  // namespace kardo
