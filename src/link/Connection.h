// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "common/LogSink.h"
#include "link/ProgrammerLink.h"

namespace kardo {

// What the program knows about its programmer.
struct ConnectionState {
    uint8_t LinkState = 0;  // 1 = programmer connected, 0 = demonstration mode
    uint32_t FirmwareVersion = 0;
    uint8_t HardwareModel = 24;
};

inline constexpr uint16_t kSoftwareRevision = 1006;

// Model numbers: 40 for firmware above 1, 24 otherwise and after a failed first open,
// 65 when "Reconnect" found no programmer.
inline constexpr uint8_t kModelFirstGeneration = 24;
inline constexpr uint8_t kModelSecondGeneration = 40;
inline constexpr uint8_t kModelNotFoundOnReconnect = 65;

// Start-up: open the programmer, reset it, ask its firmware version and log the
// result, or log the demonstration-mode lines.
void OpenLink(ProgrammerLink& link, ConnectionState& state, LogSink& log);

// "Reconnect": close the old handle, open again (no reset), log as at start-up.
void ReopenLink(ProgrammerLink& link, ConnectionState& state, LogSink& log);

// Closing the main window.
void CloseLink(ProgrammerLink& link);

}  // namespace kardo
