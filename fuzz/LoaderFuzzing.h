// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the data-file fuzz targets share: a host that tells nobody, the devices they
// load into, and the checks every load must pass whatever the file held.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "devicedb/DeviceRecord.h"
#include "fileio/FileIoHost.h"
#include "fileio/FileLoader.h"
#include "fileio/LoadBuffer.h"

namespace kardo::fuzz {

class SilentHost : public FileIoHost {
  public:
    void AppendLine(const std::string&) override {}
    void ShowMessage(const std::string&, Icon) override {}
    void PlayFailure() override {}
    void OpenProgress(const std::string&) override {}
    void SetProgress(int percent) override {
        if (percent < 0 || percent > 100)
            __builtin_trap();
    }
    void CloseProgress() override {}
};

inline DeviceRecord Device(char family, int32_t lastAddress, uint8_t variant = 0,
                           uint8_t configCode = 0, uint16_t eepromSize = 0) {
    DeviceRecord r;
    r.SetU8(field::Family, static_cast<uint8_t>(family));
    r.SetI32(field::LastAddress, lastAddress);
    r.SetU8(field::Variant, variant);
    r.SetU8(field::ConfigCode, configCode);
    r.SetU16(field::EepromSize, eepromSize);
    r.SetU8(field::BlankValue, 0xFF);
    return r;
}

// Loads `bytes` as `fileFormat` and checks what the buffer says of itself afterwards.
inline void LoadAndCheck(const std::vector<uint8_t>& bytes, const DeviceRecord& record,
                         uint8_t fileFormat, int64_t offset = 0) {
    FileSettings settings;
    settings.format = fileFormat;
    settings.offset = offset;
    DeviceBuffer buffer;
    SilentHost host;
    LoadFileBytes(bytes, {"fuzz", record, settings}, buffer, host);
    if (buffer.BufferSize() != LoadSizesFor(record, false).bufferSize)
        __builtin_trap();
    if (buffer.HighestWritten >= buffer.BufferSize() ||
        buffer.LowestWritten > buffer.HighestWritten) {
        __builtin_trap();
    }
}

}  // namespace kardo::fuzz
