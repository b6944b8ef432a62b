// SPDX-License-Identifier: GPL-3.0-or-later
// The commands that work on the database and on files alone, without a programmer.
#include <cctype>
#include <cstdio>

#include "app/AppState.h"
#include "cli/Commands.h"
#include "cli/DeviceLookup.h"
#include "cli/DeviceNames.h"
#include "cli/FileOptions.h"
#include "cli/StandardStreams.h"
#include "common/FileBytes.h"
#include "common/JsonText.h"
#include "common/SafeWrite.h"
#include "devicedb/Checksum.h"
#include "devicedb/DeviceDatabase.h"
#include "devicedb/DeviceNotes.h"
#include "devicedb/PartNames.h"
#include "devicedb/RecordFieldText.h"

namespace kardo::cli {
namespace {

std::filesystem::path DirectoryOf(const CommandContext& context) {
    return DatabaseDirectory(context.invocation.Option("--db-dir"), context.programDir);
}

// The device of the first argument, selected as the window selects it.
DeviceEntry SelectNamedDevice(const CommandContext& context, AppState& state, LogSink& log) {
    const auto directory = DirectoryOf(context);
    const FoundDevice found = FindDevice(directory, context.invocation.positional.at(0));
    SelectDevice(state, directory, found, log);
    return found.entry;
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

// The name a listed record is counted under when it is a further name of the part
// listed before it (see SamePartUnderAnotherName); empty for a part of its own.
std::string AliasOf(const std::filesystem::path& directory, const DeviceEntry& entry,
                    const DeviceRecord& record) {
    std::string part;
    for (int k = entry.deviceIndex - 1; k >= 0; --k) {
        const auto before =
            DeviceDatabase::LoadRecord(directory / entry.file, entry.manufacturerIndex, k);
        if (before.status != DeviceDatabase::RecordLookup::Status::Ok ||
            !SamePartUnderAnotherName(before.record, record)) {
            break;
        }
        part = entry.manufacturer + "/" + before.record.Name();
    }
    return part;
}

}  // namespace

int RunDevices(const CommandContext& context) {
    const Invocation& invocation = context.invocation;
    const auto type = invocation.Option("--type");
    // Family letters are upper case in the database; the user need not type them so.
    const std::string families = UpperCase(invocation.Option("--family").value_or(""));
    if (type && LowerCase(*type) != "eeprom" && LowerCase(*type) != "micro") {
        throw UsageError("--type \"" + *type + "\" is not eeprom or micro");
    }
    const bool json = invocation.Flag("--json");
    const std::optional<std::string> pattern =
        invocation.positional.empty() ? std::nullopt : std::optional(invocation.positional[0]);
    const auto directory = DirectoryOf(context);
    for (const DeviceEntry& entry : ListAllDevices(directory)) {
        if (type &&
            (LowerCase(*type) == "eeprom") != (entry.file == std::string(kEepromDatabase))) {
            continue;
        }
        if (pattern && !NameMatches(*pattern, entry.FullName()) &&
            !(IsGlob(*pattern) && GlobMatches(*pattern, entry.device))) {
            continue;
        }
        const auto record = DeviceDatabase::LoadRecord(directory / entry.file,
                                                       entry.manufacturerIndex, entry.deviceIndex);
        const char letter = record.record.Family();
        if (!families.empty() && families.find(letter) == std::string::npos) {
            continue;
        }
        const auto size = static_cast<uint32_t>(record.record.LastAddress()) + 1u;
        const std::string aliasOf = AliasOf(directory, entry, record.record);
        if (json) {
            JsonObject object;
            object.Add("name", entry.FullName())
                .Add("manufacturer", entry.manufacturer)
                .Add("device", entry.device)
                .Add("family", std::string(1, letter == 0 ? '?' : letter))
                .Add("size", int64_t{size})
                .Add("database", entry.file);
            if (!aliasOf.empty()) {
                object.Add("alias_of", aliasOf);
            }
            std::printf("%s\n", object.Text().c_str());
        } else if (aliasOf.empty()) {
            std::printf("%-28s %c  0x%X\n", entry.FullName().c_str(), letter == 0 ? '?' : letter,
                        size);
        } else {
            std::printf("%-28s %c  0x%X  = %s\n", entry.FullName().c_str(),
                        letter == 0 ? '?' : letter, size, aliasOf.c_str());
        }
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
    const DeviceEntry entry = SelectNamedDevice(context, state, silent);
    const DeviceRecord& record = *state.record;
    const DeviceInfoTexts info = DeviceInfoFor(record);
    const std::pair<const char*, const std::string&> panels[] = {
        {"ManIDL", info.ManIDL}, {"DevIDL", info.DevIDL}, {"DevIDL2", info.DevIDL2},
        {"SizeL", info.SizeL},   {"VccL", info.VccL},     {"VppL", info.VppL},
        {"AdapL", info.AdapL},   {"ComL", info.ComL},
    };
    if (context.invocation.Flag("--json")) {
        JsonObject fields, texts;
        for (const auto& f : kRecordFields) {
            fields.Add(f.name, RecordFieldText(record, f));
        }
        for (const auto& [label, text] : panels) {
            texts.Add(label, text);
        }
        texts.Add("CheckL", ChecksumShown(state));
        std::printf("%s\n", JsonObject()
                                .Add("device", entry.FullName())
                                .AddJson("record", fields.Text())
                                .AddJson("panels", texts.Text())
                                .Text()
                                .c_str());
        return kExitOk;
    }
    for (const auto& f : kRecordFields) {
        std::printf("%-15s %s\n", std::string(f.name).c_str(), RecordFieldText(record, f).c_str());
    }
    for (const auto& [label, text] : panels) {
        std::printf("%-15s %s\n", label, text.c_str());
    }
    std::printf("%-15s %s\n", "CheckL", ChecksumShown(state).c_str());
    return kExitOk;
}

int RunConvert(const CommandContext& context) {
    const std::filesystem::path out = context.invocation.positional.at(2);
    if (out == kStandardStream) {
        context.console.LogToErrors();
    }
    AppState state;
    LoadForNamedDevice(context, state);
    SaveOutput(state, out,
               FormatFor(out, *state.record, context.invocation.Option("--out-format"), false),
               SaveRangeFrom(context.invocation.Option("--range"), *state.record), context.console);
    return kExitOk;
}

int RunDump(const CommandContext& context) {
    const std::filesystem::path out = context.invocation.positional.at(2);
    if (out == kStandardStream) {
        context.console.LogToErrors();
    }
    AppState state;
    LoadForNamedDevice(context, state);
    const std::string error =
        out == kStandardStream
            ? WriteStandardOutput(
                  {state.buffer.data(), state.buffer.data() + state.buffer.BufferSize()})
            : WriteFileSafely(out, state.buffer.data(), state.buffer.BufferSize());
    if (!error.empty()) {
        throw CommandFailed("cannot write " + out.string() + ": " + error);
    }
    return kExitOk;
}

int RunChecksum(const CommandContext& context) {
    const bool json = context.invocation.Flag("--json");
    if (json) {
        context.console.KeepLog();
    }
    AppState state;
    const DeviceEntry entry = SelectNamedDevice(context, state, context.console);
    const bool loads = context.invocation.positional.size() > 1;
    if (loads) {
        LoadArgument(context, state, 1);
    }
    if (json) {
        JsonObject object;
        object.Add("device", entry.FullName());
        if (loads) {
            object.Add("file", context.invocation.positional[1]);
        }
        std::printf("%s\n", object.Add("checksum", ChecksumShown(state))
                                .Add("log", context.console.TakeLog())
                                .Text()
                                .c_str());
        return kExitOk;
    }
    std::printf("%s\n", ChecksumShown(state).c_str());
    return kExitOk;
}

}  // namespace kardo::cli
