// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "app/AppState.h"
#include "cli/CliArguments.h"
#include "cli/Console.h"
#include "devicedb/DeviceRecord.h"

namespace kardo::cli {

// ELF input, which the command line reads beside the loader's formats.
inline constexpr uint8_t kElfFormat = 100;
// No --in-format: the file's first bytes tell its format.
inline constexpr uint8_t kFormatFromContent = 101;

// The options every command that loads a file takes.
inline constexpr std::string_view kLoadOptionNames[] = {"--in-format", "--fill", "--offset"};

// "ihex", "srec", "bin", "inh8m", "inx16", "jedec", and "elf" when `forInput`.
uint8_t FormatNamed(const std::string& name, bool forInput);
const char* FormatName(uint8_t format);

// A file's format: the option when given, else its extension (.hex, .ihx, .s19 ... .mot,
// .bin, .jed, .elf), else what the window starts from for the device's family. A ".hex"
// of a PIC is INH8M, as the PIC toolchains write it.
uint8_t FormatFor(const std::filesystem::path& file, const DeviceRecord& record,
                  const std::optional<std::string>& option, bool forInput);

// How a load fills and moves the data, from --fill and --offset; its format from
// --in-format, else kFormatFromContent.
FileSettings LoadSettingsFrom(const Invocation& invocation, const std::filesystem::path& file,
                              const DeviceRecord& record);

// Loads `file` ("-": standard input) into the state's buffer as the window's load does,
// logging its lines. Without --in-format the format is the one the file's first bytes
// show (Intel HEX is INH8M for a PIC); where the file's extension says another, a note
// says so.
// Fails with the reason for a file that cannot be read or loaded. An ELF file's fuse and
// lock bytes go to the configuration bits; the result says whether it had any.
struct LoadOutcome {
    bool fusesFromFile = false;
    bool eepromFromFile = false;  // an ELF file's .eeprom section
    std::string sha256;           // of the file's bytes, for the production log
};
LoadOutcome LoadInput(AppState& state, const std::filesystem::path& file,
                      const FileSettings& settings, Console& console);

// The save range of --range START:STOP, or the device as the save dialog offers it.
struct SaveRange {
    uint32_t start = 0;
    uint32_t stop = 0;
};
SaveRange SaveRangeFrom(const std::optional<std::string>& option, const DeviceRecord& record);

// A usage error for a range the buffer cannot give: the start above the stop, or the
// stop beyond the buffer.
void CheckSaveRange(const AppState& state, SaveRange range);

// Writes the buffer to `file` as the window's save does; fails with the reason.
void SaveOutput(const AppState& state, const std::filesystem::path& file, uint8_t format,
                SaveRange range, Console& console);

}  // namespace kardo::cli
