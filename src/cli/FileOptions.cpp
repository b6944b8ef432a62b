// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/FileOptions.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>

#include "cli/DeviceNames.h"
#include "cli/StandardStreams.h"
#include "common/FileBytes.h"
#include "common/Sha256.h"
#include "fileio/ElfLoad.h"
#include "fileio/FileChoices.h"
#include "fileio/FileLoader.h"
#include "fileio/FileWriter.h"
#include "fileio/FormatDetection.h"

namespace kardo::cli {
namespace {

constexpr std::array<std::pair<const char*, uint8_t>, 7> kFormats{{
    {"ihex", format::IntelHex},
    {"srec", format::Motorola},
    {"bin", format::Binary},
    {"inh8m", format::Inh8m},
    {"inx16", format::Inx16},
    {"jedec", format::Jedec},
    {"elf", kElfFormat},
}};

std::optional<uint8_t> FormatOfExtension(const std::filesystem::path& file, char family) {
    const std::string extension = LowerCase(file.extension().string());
    if (extension == ".hex" || extension == ".ihx" || extension == ".ihex") {
        return family == 'C' ? format::Inh8m : format::IntelHex;
    }
    for (const char* motorola : {".s19", ".s28", ".s37", ".srec", ".mot", ".s"}) {
        if (extension == motorola) {
            return format::Motorola;
        }
    }
    if (extension == ".bin" || extension == ".raw") {
        return format::Binary;
    }
    if (extension == ".jed") {
        return format::Jedec;
    }
    if (extension == ".elf") {
        return kElfFormat;
    }
    return std::nullopt;
}

uint8_t Checked(uint8_t format, bool forInput) {
    if (format == kElfFormat && !forInput) {
        throw UsageError("elf is a format for input only");
    }
    return format;
}

uint8_t LoadBytes(AppState& state, const std::vector<uint8_t>& bytes,
                  const std::filesystem::path& file, const FileSettings& settings,
                  Console& console) {
    return LoadFileBytes(bytes, {file, *state.record, settings, false}, state.buffer, console);
}

}  // namespace

uint8_t FormatNamed(const std::string& name, bool forInput) {
    for (const auto& [known, code] : kFormats) {
        if (LowerCase(name) == known) {
            return Checked(code, forInput);
        }
    }
    throw UsageError("unknown format \"" + name + "\" (ihex, srec, bin, inh8m, inx16, jedec" +
                     (forInput ? ", elf)" : ")"));
}

const char* FormatName(uint8_t format) {
    for (const auto& [name, code] : kFormats) {
        if (code == format) {
            return name;
        }
    }
    return "?";
}

uint8_t FormatFor(const std::filesystem::path& file, const DeviceRecord& record,
                  const std::optional<std::string>& option, bool forInput) {
    if (option) {
        return FormatNamed(*option, forInput);
    }
    const char family = record.Family();
    if (const auto byExtension = FormatOfExtension(file, family)) {
        return Checked(*byExtension, forInput);
    }
    return LoadFormatFor(family, 1);  // the first filter of the file dialog
}

FileSettings LoadSettingsFrom(const Invocation& invocation, const std::filesystem::path& file,
                              const DeviceRecord& record) {
    FileSettings settings;
    const auto chosen = invocation.Option("--in-format");
    settings.format = chosen ? FormatFor(file, record, chosen, true) : kFormatFromContent;
    if (const auto fillOption = invocation.Option("--fill")) {
        static constexpr std::array<std::pair<const char*, uint8_t>, 4> kFills{{
            {"none", fill::Disable},
            {"default", fill::DeviceDefault},
            {"00", fill::Zero},
            {"ff", fill::FF},
        }};
        const auto it = std::find_if(kFills.begin(), kFills.end(),
                                     [&](const auto& f) { return LowerCase(*fillOption) == f.first; });
        if (it == kFills.end()) {
            throw UsageError("--fill \"" + *fillOption + "\" is not one of none, default, 00, ff");
        }
        settings.fill = it->second;
    }
    if (auto offset = invocation.Option("--offset")) {
        const bool subtract = !offset->empty() && (*offset)[0] == '-';
        const uint64_t value = ParseHex(subtract ? offset->substr(1) : *offset, "--offset");
        if (value > UINT32_MAX) {
            throw UsageError("--offset " + *offset + " is beyond any device");
        }
        settings.offset = subtract ? -static_cast<int64_t>(value) : static_cast<int64_t>(value);
        settings.offsetAdd = !subtract;
    }
    return settings;
}

uint8_t FormatOfContent(const std::vector<uint8_t>& bytes, const std::filesystem::path& file,
                        const DeviceRecord& record, Console& console) {
    const char family = record.Family();
    uint8_t format = format::Binary;
    switch (DetectFileContent(bytes)) {
        case FileContent::IntelHex:
            format = family == 'C' ? format::Inh8m : format::IntelHex;  // as PIC tools write
            break;
        case FileContent::Motorola:
            format = format::Motorola;
            break;
        case FileContent::Elf:
            format = kElfFormat;
            break;
        case FileContent::Jedec:
            format = format::Jedec;
            break;
        case FileContent::Binary:
            break;
    }
    const auto named = FormatOfExtension(file, family);
    // Bytes that look like nothing in particular: the name says what they were meant to
    // be, and the loader then says what is wrong with them.
    if (format == format::Binary && named) {
        return *named;
    }
    if (named && *named != format) {
        console.Message("note: " + file.string() + " holds " + FormatName(format) + ", not the " +
                        FormatName(*named) + " its name says; it is loaded as " +
                        FormatName(format) + " (--in-format chooses)");
    }
    return format;
}

LoadOutcome LoadInput(AppState& state, const std::filesystem::path& file,
                      const FileSettings& chosen, Console& console) {
    const FileBytes read = file == kStandardStream ? ReadStandardInput(kLargestDataFile)
                                                   : ReadFileBytes(file, kLargestDataFile);
    if (!read.ok()) {
        throw CommandFailed("cannot read " + file.string() + ": " + read.error);
    }
    FileSettings settings = chosen;
    if (settings.format == kFormatFromContent) {
        settings.format = FormatOfContent(read.bytes, file, *state.record, console);
    }
    LoadOutcome outcome;
    outcome.sha256 = Sha256Hex(read.bytes.data(), read.bytes.size());
    uint8_t result = 0;
    if (settings.format == kElfFormat) {
        const ElfLoadOutcome elf = LoadElfBytes(read.bytes, {file, *state.record, settings, false},
                                                state.buffer, state.configBits, console);
        if (!elf.error.empty()) {
            throw CommandFailed(file.string() + ": " + elf.error);
        }
        result = elf.result;
        outcome.fusesFromFile = elf.fusesFromFile;
        outcome.eepromFromFile = elf.eepromFromFile;
    } else {
        result = LoadBytes(state, read.bytes, file, settings, console);
    }
    if (result != 0) {
        throw CommandFailed(file.string() + " could not be loaded as " +
                            FormatName(settings.format));
    }
    return outcome;
}

SaveRange SaveRangeFrom(const std::optional<std::string>& option, const DeviceRecord& record) {
    if (option) {
        const std::size_t colon = option->find(':');
        if (colon == std::string::npos) {
            throw UsageError("--range \"" + *option + "\" is not START:STOP");
        }
        const uint64_t start = ParseHex(option->substr(0, colon), "--range start");
        const uint64_t stop = ParseHex(option->substr(colon + 1), "--range stop");
        if (start > UINT32_MAX || stop > UINT32_MAX) {
            throw UsageError("--range " + *option + " is beyond any device");
        }
        return {static_cast<uint32_t>(start), static_cast<uint32_t>(stop)};
    }
    return {0, static_cast<uint32_t>(ParseHex(DefaultSaveStopText(record, false), "stop"))};
}

void CheckSaveRange(const AppState& state, SaveRange range) {
    const SaveRequest request{{}, *state.record, format::Binary, range.start, range.stop, false};
    if (const std::string problem = SaveRangeProblem(request, state.buffer); !problem.empty()) {
        throw UsageError(problem);
    }
}

void SaveOutput(const AppState& state, const std::filesystem::path& file, uint8_t format,
                SaveRange range, Console& console) {
    CheckSaveRange(state, range);
    const SaveRequest request{file, *state.record, format, range.start, range.stop, false};
    if (file == kStandardStream) {
        if (const std::string problem = SaveRangeProblem(request, state.buffer); !problem.empty()) {
            throw UsageError(problem);
        }
        const std::string text = RenderSaveFile(request, state.buffer, {});
        if (const std::string error = WriteStandardOutput({text.begin(), text.end()});
            !error.empty()) {
            throw CommandFailed("cannot write to standard output: " + error);
        }
        return;
    }
    if (const SaveOutcome saved = SaveFile(request, state.buffer, console); !saved.ok()) {
        throw CommandFailed("cannot write " + file.string() +
                            (saved.writeError.empty() ? "" : ": " + saved.writeError));
    }
}

}  // namespace kardo::cli
