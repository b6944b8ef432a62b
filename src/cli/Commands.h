// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "cli/CliArguments.h"
#include "cli/Console.h"

namespace kardo::cli {

// What every command runs with.
struct CommandContext {
    std::string_view command;
    const Invocation& invocation;
    Console& console;
    std::filesystem::path programDir;  // where the program itself lies
};

// One command of the command line: its words, its options and its help.
struct CommandEntry {
    std::string_view name;
    std::string_view synopsis;  // the arguments after the command's name
    std::string_view summary;
    std::string_view help;  // the options, one per line
    std::vector<std::string_view> options;
    std::size_t minArguments = 0;
    std::size_t maxArguments = 0;
    int (*run)(const CommandContext&) = nullptr;
};

// Every command, in the order the help lists them.
const std::vector<CommandEntry>& Commands();

int RunDevices(const CommandContext& context);
int RunInfo(const CommandContext& context);
int RunConvert(const CommandContext& context);
int RunDump(const CommandContext& context);
int RunChecksum(const CommandContext& context);
int RunDeviceOperation(const CommandContext& context);
int RunProgrammers(const CommandContext& context);

}  // namespace kardo::cli
