// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "algorithms/OperationHost.h"
#include "app/AppState.h"
#include "app/ButtonMasks.h"
#include "cli/Commands.h"
#include "cli/DeviceLookup.h"
#include "cli/FileOptions.h"
#include "cli/OperationReport.h"
#include "common/LogSink.h"
#include "link/LinkChoice.h"

// The steps of the commands that run a device operation, shared by one programmer and a
// gang of them.
namespace kardo::cli {

struct OperationKind {
    std::string_view command;
    char code;
    DeviceButton button;
    const char* what;
};

// What a command line asks of one operation, settled before the chip is touched.
struct OperationPlan {
    const OperationKind* kind = nullptr;
    DeviceEntry entry;
    LoadOutcome loaded;
    std::string file;
    std::optional<std::string> serialLine;
    // What a read writes: a wrong format or range is a usage error, not a read thrown away.
    std::optional<std::filesystem::path> readFile;
    uint8_t readFormat = 0;
    SaveRange readRange;
    std::filesystem::path logFile;
    bool json = false;
};

// Selects the device, loads the file and applies the options into `state`.
OperationPlan Plan(const CommandContext& context, AppState& state);

// The links as --link, else the environment, chooses them; --link must name one we know.
LinkEnvironment LinkEnvironmentFor(const Invocation& invocation);
// The programmer --programmer, else KARDO_PROGRAMMER names; empty for the first found.
std::string ProgrammerNamed(const Invocation& invocation);

// Opens the programmer of `choice` and uploads the device's parameters, logging to `log`
// and warning through `warn`. A missing programmer, or one another program holds, fails:
// a script has no use for a demonstration.
void OpenProgrammer(AppState& state, LinkChoice choice, LogSink& log,
                    const std::function<void(const std::string&)>& warn);

// The operation itself, on this thread, with the window's own algorithms.
OperationOutcome RunOnProgrammer(AppState& state, char code, OperationHost& host);

}  // namespace kardo::cli
