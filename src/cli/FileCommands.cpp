// SPDX-License-Identifier: GPL-3.0-or-later
// The commands that work on the database and on files alone, without a programmer.
#include <cstdio>

#include "app/AppState.h"
#include "cli/Commands.h"
#include "cli/DeviceLookup.h"
#include "cli/FileOptions.h"
#include "common/SafeWrite.h"
#include "devicedb/Checksum.h"
#include "devicedb/DeviceDatabase.h"
#include "devicedb/DeviceNotes.h"
#include "devicedb/RecordFieldText.h"

namespace kardo::cli {
namespace {

std::filesystem::path DirectoryOf(const CommandContext& context) {
    return DatabaseDirectory(context.invocation.Option("--db-dir"), context.programDir);
}

// The device of the first argument, selected as the window selects it.
void SelectNamedDevice(const CommandContext& context, AppState& state, LogSink& log) {
    const auto directory = DirectoryOf(context);
    SelectDevice(state, directory, FindDevice(directory, context.invocation.positional.at(0)), log);
}

// The log of a command whose output is the record: the selection line would only be in
// the way there.
struct SilentLog : LogSink {
    void AppendLine(const std::string&) override {}
};

// Loads the file of argument `index` with the load options.
void LoadArgument(const CommandContext& context, AppState& state, std::size_t index) {
    const std::filesystem::path file = context.invocation.positional.at(index);
    LoadInput(state, file, LoadSettingsFrom(context.invocation, file, *state.record),
              context.console);
}

// The device of the first argument with the file of the second loaded for it.
void LoadForNamedDevice(const CommandContext& context, AppState& state) {
    SelectNamedDevice(context, state, context.console);
    LoadArgument(context, state, 1);
}

std::string ChecksumShown(const AppState& state) {
    return ChecksumText(ComputeChecksum(*state.record, state.buffer));
}

}  // namespace

int RunDevices(const CommandContext& context) {
    const auto type = context.invocation.Option("--type");
    const auto family = context.invocation.Option("--family");
    if (type && *type != "eeprom" && *type != "micro") {
        throw UsageError("--type \"" + *type + "\" is not eeprom or micro");
    }
    const auto directory = DirectoryOf(context);
    for (const DeviceEntry& entry : ListAllDevices(directory)) {
        if (type && (*type == "eeprom") != (entry.file == std::string(kEepromDatabase))) {
            continue;
        }
        const auto record = DeviceDatabase::LoadRecord(directory / entry.file,
                                                       entry.manufacturerIndex, entry.deviceIndex);
        const char letter = record.record.Family();
        if (family && family->find(letter) == std::string::npos) {
            continue;
        }
        std::printf("%-28s %c  0x%X\n", entry.FullName().c_str(), letter == 0 ? '?' : letter,
                    static_cast<uint32_t>(record.record.LastAddress()) + 1u);
    }
    // What could be read is listed; a damaged file still fails the command.
    if (const std::string problems = DatabaseProblems(directory); !problems.empty()) {
        std::fflush(stdout);
        throw CommandFailed(problems + ": the list above is not complete");
    }
    return kExitOk;
}

int RunInfo(const CommandContext& context) {
    AppState state;
    SilentLog silent;
    SelectNamedDevice(context, state, silent);
    const DeviceRecord& record = *state.record;
    for (const auto& f : kRecordFields) {
        std::printf("%-15s %s\n", std::string(f.name).c_str(), RecordFieldText(record, f).c_str());
    }
    const DeviceInfoTexts info = DeviceInfoFor(record);
    const std::pair<const char*, const std::string&> panels[] = {
        {"ManIDL", info.ManIDL}, {"DevIDL", info.DevIDL}, {"DevIDL2", info.DevIDL2},
        {"SizeL", info.SizeL},   {"VccL", info.VccL},     {"VppL", info.VppL},
        {"AdapL", info.AdapL},   {"ComL", info.ComL},
    };
    for (const auto& [label, text] : panels) {
        std::printf("%-15s %s\n", label, text.c_str());
    }
    std::printf("%-15s %s\n", "CheckL", ChecksumShown(state).c_str());
    return kExitOk;
}

int RunConvert(const CommandContext& context) {
    AppState state;
    LoadForNamedDevice(context, state);
    const std::filesystem::path out = context.invocation.positional.at(2);
    SaveOutput(state, out,
               FormatFor(out, *state.record, context.invocation.Option("--out-format"), false),
               SaveRangeFrom(context.invocation.Option("--range"), *state.record), context.console);
    return kExitOk;
}

int RunDump(const CommandContext& context) {
    AppState state;
    LoadForNamedDevice(context, state);
    const std::filesystem::path out = context.invocation.positional.at(2);
    if (const std::string error =
            WriteFileSafely(out, state.buffer.data(), state.buffer.BufferSize());
        !error.empty()) {
        throw CommandFailed("cannot write " + out.string() + ": " + error);
    }
    return kExitOk;
}

int RunChecksum(const CommandContext& context) {
    AppState state;
    SelectNamedDevice(context, state, context.console);
    if (context.invocation.positional.size() > 1) {
        LoadArgument(context, state, 1);
    }
    std::printf("%s\n", ChecksumShown(state).c_str());
    return kExitOk;
}

}  // namespace kardo::cli
