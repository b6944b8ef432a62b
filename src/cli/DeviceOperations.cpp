// SPDX-License-Identifier: GPL-3.0-or-later
// The commands that run a device operation on the programmer: the same selection,
// parameter upload, step rules and family algorithms as the window's buttons.
#include <chrono>
#include <cstdlib>

#include "algorithms/ElapsedTime.h"
#include "algorithms/OperationContext.h"
#include "algorithms/OperationDispatch.h"
#include "app/ButtonMasks.h"
#include "cli/Commands.h"
#include "cli/DeviceLookup.h"
#include "cli/FileOptions.h"
#include "cli/OperationOptions.h"
#include "common/MessageCatalogue.h"
#include "fileio/NotProgrammed.h"
#include "link/Connection.h"
#include "link/LinkChoice.h"
#include "link/Protocol.h"
#include "link/VirtualProgrammer.h"

namespace kardo::cli {
namespace {

struct OperationKind {
    std::string_view command;
    char code;
    DeviceButton button;
    const char* what;
};

constexpr OperationKind kOperations[] = {
    {"blank", 'B', DeviceButton::Blank, "a blank check"},
    {"read", 'R', DeviceButton::Read, "a read"},
    {"program", 'P', DeviceButton::Prog, "programming"},
    {"verify", 'V', DeviceButton::Verify, "a verify"},
    {"erase", 'E', DeviceButton::Erase, "an erase"},
};

const OperationKind& KindOf(std::string_view command) {
    for (const OperationKind& kind : kOperations) {
        if (kind.command == command) {
            return kind;
        }
    }
    throw UsageError("unknown command " + std::string(command));
}

// The file argument: what program and verify compare with, where read writes to;
// blank and erase take none.
void CheckFileArgument(const OperationKind& kind, const Invocation& invocation) {
    const bool hasFile = invocation.positional.size() > 1;
    if ((kind.code == 'P' || kind.code == 'V') && !hasFile) {
        throw UsageError(std::string(kind.command) + " needs the FILE to write or compare");
    }
    if ((kind.code == 'B' || kind.code == 'E') && hasFile) {
        throw UsageError(std::string(kind.command) + " takes no FILE");
    }
}

// The window offers only the buttons the record enables; so does the command line.
void CheckOffered(const OperationKind& kind, const AppState& state, const std::string& device) {
    if (!ButtonStatesFor(state.record)[static_cast<std::size_t>(kind.button)]) {
        throw UsageError(device + " does not offer " + kind.what);
    }
}

// Data that program or verify would pass over is refused before the chip is touched, so
// that exit status 0 always means the whole file is in the chip; --allow-truncate takes
// the part that fits, and says what is left out.
void CheckNothingLeftOut(const AppState& state, const OperationKind& kind,
                         const Invocation& invocation, const LoadOutcome& loaded,
                         const std::string& device, Console& console) {
    std::string left = NotProgrammedText(*state.record, state.buffer);
    if (left.empty()) {
        return;
    }
    if (loaded.eepromFromFile && state.record->Family() == 'M') {
        left += " (the ELF file's .eeprom section: no step programs the data EEPROM)";
    }
    const char* done = kind.code == 'P' ? "programmed" : "verified";
    if (!invocation.Flag("--allow-truncate")) {
        throw CommandFailed(device + ": " + left + " would not be " + done +
                            "; --allow-truncate takes only what the device does");
    }
    console.Message("warning: " + device + ": " + left + ": left out, not " + done);
}

// Opens the programmer the options or the environment name and uploads the device's
// parameters. A missing programmer fails: a script has no use for a demonstration.
void OpenProgrammer(AppState& state, const Invocation& invocation, Console& console) {
    const auto linkOption = invocation.Option("--link");
    if (linkOption && *linkOption != "ftdi" && *linkOption != "sim") {
        throw UsageError("--link \"" + *linkOption + "\" is not ftdi or sim");
    }
    const char* linkName = linkOption ? linkOption->c_str() : std::getenv("KARDO_LINK");
    LinkChoice choice =
        ChooseLink(linkName, std::getenv("KARDO_SIM_IMAGE"), std::getenv("KARDO_SIM_FAULTS"));
    if (!choice.problem.empty()) {
        // A fault list or link name we do not know must not run the operation on another
        // programmer than the one the script meant.
        throw UsageError(choice.problem);
    }
    if (!choice.driverProblem.empty()) {
        console.Message(choice.driverProblem);  // and the open below finds no programmer
    }
    state.link = std::move(choice.link);  // owns the virtual programmer, if it is one
    OpenLink(*state.link, state.connection, console);
    if (state.connection.LinkState != 1) {
        throw CommandFailed("no programmer found");
    }
    if (choice.virtualProgrammer != nullptr) {
        choice.virtualProgrammer->InsertChip(*state.record);
        if (const std::string problem = choice.virtualProgrammer->TakeImageProblem();
            !problem.empty()) {
            console.Message("warning: " + problem);
        }
    }
    state.link->Purge(kPurgeRxTx);
    if (!SendParameters(*state.link, *state.record)) {
        throw CommandFailed("the programmer did not accept the parameters of " +
                            state.record->Name());
    }
    console.Log(ResultLine(report::ParametersSent, state.record->Name()));
}

// The operation itself, on this thread: there is no window to keep responsive.
void RunOnProgrammer(AppState& state, char code, Console& console) {
    const auto start = std::chrono::steady_clock::now();
    state.buffer.BufferPos = 0;
    state.OperationCode = code;
    state.errorCount = 0;
    state.running = true;
    state.link->Purge(kPurgeRxTx);
    OperationContext context(
        *state.record, state.buffer, state.OperationCode, state.errorCount, state.running,
        *state.link, state.connection.FirmwareVersion, console,
        OperationChoices{state.ProgBits, state.options.Id_flag, state.configBits});
    RunOperation(context);
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    console.Log(ElapsedTimeLine(took.count()));
}

}  // namespace

int RunDeviceOperation(const CommandContext& context) {
    const Invocation& invocation = context.invocation;
    const OperationKind& kind = KindOf(context.command);
    CheckFileArgument(kind, invocation);
    const auto directory = DatabaseDirectory(invocation.Option("--db-dir"), context.programDir);
    const FoundDevice device = FindDevice(directory, invocation.positional[0]);
    AppState state;
    SelectDevice(state, directory, device, context.console);
    CheckOffered(kind, state, device.entry.FullName());

    bool fusesChosen = false;
    if (kind.code == 'P' || kind.code == 'V') {
        const std::filesystem::path file = invocation.positional[1];
        const LoadOutcome loaded = LoadInput(
            state, file, LoadSettingsFrom(invocation, file, *state.record), context.console);
        fusesChosen = loaded.fusesFromFile;
        CheckNothingLeftOut(state, kind, invocation, loaded, device.entry.FullName(),
                            context.console);
    } else if (invocation.Flag("--allow-truncate")) {
        throw UsageError("--allow-truncate goes with program and verify only");
    }
    const std::optional<std::string> serialLine =
        ApplyOperationOptions(state, invocation, kind.code, fusesChosen);
    // What a read writes is settled before the chip is touched: a wrong format or range
    // is a usage error, not a read thrown away.
    std::optional<std::filesystem::path> readFile;
    uint8_t readFormat = 0;
    SaveRange readRange;
    if (kind.code == 'R' && invocation.positional.size() > 1) {
        readFile = invocation.positional[1];
        readFormat = FormatFor(*readFile, *state.record, invocation.Option("--out-format"), false);
        readRange = SaveRangeFrom(invocation.Option("--range"), *state.record);
        CheckSaveRange(state, readRange);
    }

    OpenProgrammer(state, invocation, context.console);
    context.console.Log("");
    if (serialLine) {
        context.console.Log(*serialLine);
    }
    RunOnProgrammer(state, kind.code, context.console);
    const bool failed = state.errorCount != 0;
    CloseLink(*state.link);
    if (failed) {
        throw CommandFailed(std::string(kind.what) + " of " + device.entry.device + " failed");
    }
    if (readFile) {
        SaveOutput(state, *readFile, readFormat, readRange, context.console);
    }
    return kExitOk;
}

}  // namespace kardo::cli
