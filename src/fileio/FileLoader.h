// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "devicedb/DeviceBuffer.h"
#include "devicedb/DeviceRecord.h"
#include "fileio/ElfImage.h"
#include "fileio/FileIoHost.h"
#include "fileio/FileSettings.h"
#include "fileio/LoadErrors.h"

namespace kardo {

// What a load works from.
struct LoadRequest {
    std::filesystem::path file;
    const DeviceRecord& record;
    const FileSettings& settings;
    bool oddEven = false;  // the "Odd && Even programming" option
};

// Reads a data file into the buffer in the format the settings name. The file is read
// into memory whole first, so a file that cannot be read leaves the buffer as it was
// ("File ERROR"). Otherwise the buffer is re-created and filled for the device, the
// records are stored, and the outcome is logged: the success report, or the line of
// the failure, with the bytes stored before it kept. Returns the result code (load::).
uint8_t LoadFile(const LoadRequest& request, DeviceBuffer& buffer, FileIoHost& host);

// The same for a file already in memory; `request.file` only names it in the log.
uint8_t LoadFileBytes(const std::vector<uint8_t>& bytes, const LoadRequest& request,
                      DeviceBuffer& buffer, FileIoHost& host);

// The same for an ELF program already read: its code at its load addresses and its data
// EEPROM after the device's code, both moved by the offset as a file's records are.
uint8_t LoadElfImage(const ElfImage& image, const LoadRequest& request, DeviceBuffer& buffer,
                     FileIoHost& host);

// The largest data file we read: far beyond any device image written as text.
inline constexpr uint64_t kLargestDataFile = 512ull << 20;

}  // namespace kardo
