// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "devicedb/DeviceRecord.h"

namespace kardo {

// The filter of the load and save file dialogs, by family, in the dialogs' notation:
// "description|pattern|description|pattern...".
std::string FileDialogFilterFor(char family);

// The format a load starts from: Inh8m for PICs, JEDEC for fuse maps, otherwise the
// chosen filter (1 Intel HEX, 2 Motorola, 3 Binary, 4 "All Files", which the format
// dialog shows as Binary).
uint8_t LoadFormatFor(char family, int filterIndex);

// The filter of the load dialog (1-based) that a file of this name is picked under: the
// first whose pattern its extension matches, in any case, else "All Files". A file
// dropped on the window starts from the format of that filter.
int LoadFilterIndexFor(char family, const std::filesystem::path& file);

// The save dialog's default stop address as 8 hexadecimal digits: the last buffer
// position of what the device holds, its code and, where the buffer keeps them, the
// bytes after it (data EEPROM, the extra bytes of some parts).
std::string DefaultSaveStopText(const DeviceRecord& record, bool oddEven);

}  // namespace kardo
