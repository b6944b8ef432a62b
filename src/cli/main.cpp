// SPDX-License-Identifier: GPL-3.0-or-later
// kardo-cli: the programmer's operations and file conversions for scripts and production
// lines, on the same core as the window program.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "app/DataDirectory.h"
#include "app/Version.h"
#include "cli/Commands.h"

namespace {

using namespace kardo::cli;

constexpr const char* kDevicesNamed =
    "DEVICE is a device's name, in any case, or MANUFACTURER/DEVICE where the name alone\n"
    "is not unique; 'kardo-cli devices PATTERN' searches the database. FILE may be '-'\n"
    "for standard input or output.\n";

constexpr const char* kExitStatuses =
    "Exit status: 0 success, 1 the operation or a file failed, 2 a usage error.\n";

void PrintOverview(std::FILE* to) {
    std::fprintf(to,
                 "usage: kardo-cli [--db-dir DIR] [--link ftdi|sim] [--programmer NAME] COMMAND\n"
                 "                 [ARGUMENTS] [OPTIONS]\n"
                 "       kardo-cli --version\n\nCommands:\n");
    for (const CommandEntry& command : Commands()) {
        std::fprintf(to, "  %-11s %-16s %s\n", std::string(command.name).c_str(),
                     std::string(command.synopsis).c_str(), std::string(command.summary).c_str());
    }
    std::fprintf(to, "\n%s'kardo-cli COMMAND --help' tells a command's options.\n%s", kDevicesNamed,
                 kExitStatuses);
}

void PrintHelp(const CommandEntry& command) {
    std::printf("usage: kardo-cli %s %s [OPTIONS]\n%s.\n\n%s\nOptions:\n%s\n%s",
                std::string(command.name).c_str(), std::string(command.synopsis).c_str(),
                std::string(command.summary).c_str(), kDevicesNamed,
                std::string(command.help).c_str(), kExitStatuses);
}

const CommandEntry* Find(const std::string& name) {
    for (const CommandEntry& command : Commands()) {
        if (command.name == name) {
            return &command;
        }
    }
    return nullptr;
}

int Run(int argc, char** argv, Console& console) {
    const std::vector<std::string> words(argv + 1, argv + argc);
    // Global options may come before the command's name, as they may after it.
    const CommandLine line = SplitCommandLine(words);
    if (line.command.empty()) {
        PrintOverview(stderr);
        return kExitUsage;
    }
    if (line.command == "--help" || line.command == "-h" || line.command == "help") {
        PrintOverview(stdout);
        return kExitOk;
    }
    if (line.command == "--version") {
        std::fputs(kardo::VersionLine("kardo-cli").c_str(), stdout);
        return kExitOk;
    }
    const CommandEntry* command = Find(line.command);
    if (command == nullptr) {
        throw UsageError("unknown command \"" + line.command + "\" (kardo-cli --help lists them)");
    }
    const Invocation invocation = ParseInvocation(line.rest, std::span(command->options));
    if (invocation.help) {
        PrintHelp(*command);
        return kExitOk;
    }
    const std::size_t n = invocation.positional.size();
    if (n < command->minArguments || n > command->maxArguments) {
        throw UsageError(std::string(command->name) + " takes " + std::string(command->synopsis) +
                         (command->synopsis.empty() ? "no arguments" : "") + " (kardo-cli " +
                         std::string(command->name) + " --help)");
    }
    return command->run({command->name, invocation, console, kardo::ProgramDirectory(argv[0])});
}

}  // namespace

int main(int argc, char** argv) {
    Console console = Console::Standard();
    try {
        return Run(argc, argv, console);
    } catch (const UsageError& e) {
        console.Message(e.what());
        return kExitUsage;
    } catch (const CommandFailed& e) {
        console.Message(e.what());
        return kExitFailed;
    } catch (const std::exception& e) {
        console.Message(e.what());
        return kExitFailed;
    }
}
