// SPDX-License-Identifier: GPL-3.0-or-later
// The commands that run a device operation on the programmer: the same selection,
// parameter upload, step rules and family algorithms as the window's buttons.
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "algorithms/ElapsedTime.h"
#include "algorithms/OperationContext.h"
#include "algorithms/OperationDispatch.h"
#include "app/ButtonMasks.h"
#include "cli/Commands.h"
#include "cli/DeviceLookup.h"
#include "cli/FileOptions.h"
#include "cli/GangOperation.h"
#include "cli/OperationOptions.h"
#include "cli/OperationReport.h"
#include "cli/OperationSteps.h"
#include "cli/RepeatedProgramming.h"
#include "cli/StandardStreams.h"
#include "common/MessageCatalogue.h"
#include "devicedb/Checksum.h"
#include "fileio/NotProgrammed.h"
#include "link/Connection.h"
#include "link/LinkChoice.h"
#include "link/Protocol.h"
#include "link/VirtualProgrammer.h"

namespace kardo::cli {
namespace {

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

}  // namespace

LinkEnvironment LinkEnvironmentFor(const Invocation& invocation) {
    LinkEnvironment environment = LinkEnvironment::FromProcess();
    if (const auto linkOption = invocation.Option("--link")) {
        if (*linkOption != "ftdi" && *linkOption != "sim") {
            throw UsageError("--link \"" + *linkOption + "\" is not ftdi or sim");
        }
        environment.link = invocation.options.find("--link")->second.c_str();
    }
    return environment;
}

std::string ProgrammerNamed(const Invocation& invocation) {
    if (const auto option = invocation.Option("--programmer")) {
        if (option->empty()) {
            throw UsageError("--programmer needs a programmer's name (kardo-cli programmers)");
        }
        return *option;
    }
    const char* named = std::getenv("KARDO_PROGRAMMER");
    return named != nullptr ? named : "";
}

void OpenProgrammer(AppState& state, LinkChoice choice, LogSink& log,
                    const std::function<void(const std::string&)>& warn) {
    if (!choice.problem.empty()) {
        // A fault list or link name we do not know must not run the operation on another
        // programmer than the one the script meant.
        throw UsageError(choice.problem);
    }
    if (!choice.driverProblem.empty()) {
        warn(choice.driverProblem);  // and the open below finds no programmer
    }
    state.link = std::move(choice.link);  // owns the virtual programmer, if it is one
    OpenLink(*state.link, state.connection, log);
    if (state.connection.LinkState != 1) {
        const std::string problem = state.link->OpenProblem();
        if (state.link->HeldElsewhere()) {
            throw CommandFailed(problem + ": a programmer is never shared");
        }
        throw CommandFailed(problem.empty()
                                ? std::string("no programmer found")
                                : "no programmer found: " + problem +
                                      ". On Linux this user needs the udev rule of the README's "
                                      "\"The programmer on USB\" to use it");
    }
    if (choice.virtualProgrammer != nullptr) {
        choice.virtualProgrammer->InsertChip(*state.record);
        if (const std::string problem = choice.virtualProgrammer->TakeImageProblem();
            !problem.empty()) {
            warn("warning: " + problem);
        }
    }
    state.link->Purge(kPurgeRxTx);
    if (!SendParameters(*state.link, *state.record)) {
        throw CommandFailed("the programmer did not accept the parameters of " +
                            state.record->Name());
    }
    log.AppendLine(ResultLine(report::ParametersSent, state.record->Name()));
}

// The operation itself, on this thread: there is no window to keep responsive.
OperationOutcome RunOnProgrammer(AppState& state, char code, OperationHost& host) {
    const auto start = std::chrono::steady_clock::now();
    state.buffer.BufferPos = 0;
    state.OperationCode = code;
    state.errorCount = 0;
    state.running = true;
    state.link->Purge(kPurgeRxTx);
    OperationContext context(
        *state.record, state.buffer, state.OperationCode, state.errorCount, state.running,
        *state.link, state.connection.FirmwareVersion, host,
        OperationChoices{state.ProgBits, state.options.Id_flag, state.configBits});
    RunOperation(context);
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    host.Log(ElapsedTimeLine(took.count()));
    OperationOutcome outcome;
    outcome.code = code;
    outcome.errors = state.errorCount;
    outcome.passed = state.errorCount == 0;
    outcome.durationMs = took.count();
    outcome.checksum = ChecksumText(ComputeChecksum(*state.record, state.buffer));
    if (!outcome.passed && context.foreignSignature) {
        outcome.signature = context.foreignSignature;
    }
    return outcome;
}

OperationPlan Plan(const CommandContext& context, AppState& state) {
    const Invocation& invocation = context.invocation;
    OperationPlan plan;
    plan.kind = &KindOf(context.command);
    const OperationKind& kind = *plan.kind;
    CheckFileArgument(kind, invocation);
    plan.json = invocation.Flag("--json");
    if (plan.json) {
        context.console.KeepLog();
    }
    if (kind.code == 'R' && invocation.positional.size() > 1 &&
        invocation.positional[1] == kStandardStream) {
        context.console.LogToErrors();
    }
    const auto directory = DatabaseDirectory(invocation.Option("--db-dir"), context.programDir);
    const FoundDevice device = FindDevice(directory, invocation.positional[0]);
    plan.entry = device.entry;
    SelectDevice(state, directory, device, context.console);
    CheckOffered(kind, state, device.entry.FullName());

    bool fusesChosen = false;
    if (kind.code == 'P' || kind.code == 'V') {
        plan.file = invocation.positional[1];
        plan.loaded =
            LoadInput(state, plan.file, LoadSettingsFrom(invocation, plan.file, *state.record),
                      context.console);
        fusesChosen = plan.loaded.fusesFromFile;
        CheckNothingLeftOut(state, kind, invocation, plan.loaded, device.entry.FullName(),
                            context.console);
    } else if (invocation.Flag("--allow-truncate")) {
        throw UsageError("--allow-truncate goes with program and verify only");
    }
    if (invocation.Flag("--repeat") && kind.code != 'P') {
        throw UsageError("--repeat goes with program only");
    }
    plan.serialLine = ApplyOperationOptions(state, invocation, kind.code, fusesChosen);
    if (kind.code == 'R' && invocation.positional.size() > 1) {
        plan.readFile = invocation.positional[1];
        plan.file = invocation.positional[1];
        plan.readFormat =
            FormatFor(*plan.readFile, *state.record, invocation.Option("--out-format"), false);
        plan.readRange = SaveRangeFrom(invocation.Option("--range"), *state.record);
        CheckSaveRange(state, plan.readRange);
    }
    plan.logFile = ProductionLogFile(invocation.Option("--log"));
    return plan;
}

namespace {

// One chip: the operation, its record in the production log, and what a read writes.
OperationOutcome RunOne(const OperationPlan& plan, AppState& state, Console& console) {
    console.Log("");
    if (plan.serialLine) {
        console.Log(*plan.serialLine);
    }
    OperationOutcome outcome = RunOnProgrammer(state, plan.kind->code, console);
    outcome.device = plan.entry.FullName();
    outcome.file = plan.file;
    outcome.fileSha256 = plan.loaded.sha256;
    if (plan.serialLine) {
        outcome.serialNumber = state.serial.next;
    }
    if (!plan.logFile.empty()) {
        WriteProductionLog(plan.logFile, outcome, state);
    }
    return outcome;
}

}  // namespace

int RunDeviceOperation(const CommandContext& context) {
    AppState state;
    if (context.invocation.Flag("--all")) {
        CheckGangOptions(context.command, context.invocation);
        const OperationPlan plan = Plan(context, state);
        return RunGang(context, plan, state);
    }
    const OperationPlan plan = Plan(context, state);
    Console& console = context.console;
    if (context.invocation.Flag("--repeat")) {
        return RunRepeated(
            state, plan.serialLine.has_value() || state.serial.enabled,
            [&](AppState& chip) {
                OpenProgrammer(chip,
                               ChooseLink(LinkEnvironmentFor(context.invocation),
                                          ProgrammerNamed(context.invocation)),
                               console, [&](const std::string& text) { console.Message(text); });
            },
            [&](AppState& chip, std::optional<std::string> serialLine) {
                OperationPlan next = plan;
                next.serialLine = std::move(serialLine);
                return RunOne(next, chip, console);
            },
            console);
    }
    OpenProgrammer(
        state,
        ChooseLink(LinkEnvironmentFor(context.invocation), ProgrammerNamed(context.invocation)),
        console, [&](const std::string& text) { console.Message(text); });
    OperationOutcome outcome = RunOne(plan, state, console);
    CloseLink(*state.link);
    if (plan.json) {
        outcome.log = console.TakeLog();
        std::printf("%s\n", OperationJson(outcome).c_str());
        std::fflush(stdout);
    }
    if (!outcome.passed) {
        if (outcome.signature) {
            console.Message(SignatureAdvice(outcome.signature, *state.record, outcome.device));
        }
        throw CommandFailed(std::string(plan.kind->what) + " of " + plan.entry.device + " failed");
    }
    if (plan.readFile) {
        SaveOutput(state, *plan.readFile, plan.readFormat, plan.readRange, console);
    }
    return kExitOk;
}

}  // namespace kardo::cli
