// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The writers of each format, behind RenderSaveFile.
#include <cstdint>
#include <functional>
#include <string>

#include "devicedb/DeviceBuffer.h"
#include "devicedb/DeviceRecord.h"

namespace kardo {

// Shows the position reached, 100 x position / capacity, clipped to 0..100.
class SaveProgress {
  public:
    SaveProgress(int64_t capacity, const std::function<void(int)>& report)
        : capacity_(capacity < 1 ? 1 : capacity), report_(report) {}
    void At(uint64_t position) {
        const int64_t percent = static_cast<int64_t>(position) * 100 / capacity_;
        const int shown = static_cast<int>(percent > 100 ? 100 : percent);
        if (shown != last_ && report_) {
            last_ = shown;
            report_(shown);
        }
    }

  private:
    int64_t capacity_;
    const std::function<void(int)>& report_;
    int last_ = -1;
};

void RenderIntelHex(std::string& out, const DeviceBuffer& buffer, uint32_t start, uint32_t stop,
                    int64_t capacity, SaveProgress& progress);
void RenderMotorola(std::string& out, const DeviceBuffer& buffer, uint32_t start, uint32_t stop,
                    SaveProgress& progress);
void RenderInh8m(std::string& out, const DeviceBuffer& buffer, const DeviceRecord& record,
                 SaveProgress& progress);
// Why the device does not fit a word-addressed file, or empty.
std::string Inx16Problem(const DeviceRecord& record);
void RenderInx16(std::string& out, const DeviceBuffer& buffer, const DeviceRecord& record,
                 SaveProgress& progress);

}  // namespace kardo
