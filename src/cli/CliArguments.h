// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kardo::cli {

// The exit statuses: a script tells a failed operation or file from a wrong command line.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// A command line that cannot be run as given: an unknown command, option, device or
// format, a missing or surplus argument, a value that is not one. Exit status 2.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The operation or a file failed. Exit status 1.
struct CommandFailed : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// One command's arguments: the words that are not options, in order, and the options
// with their values ("--name value" or "--name=value"). "--help" and "-h" are flags;
// "--" ends the options.
struct Invocation {
    std::vector<std::string> positional;
    std::map<std::string, std::string, std::less<>> options;
    std::vector<std::string> flags;  // the options of kFlagOptions given
    bool help = false;

    std::optional<std::string> Option(std::string_view name) const;
    bool Flag(std::string_view name) const;
};

// The options that take no value; a command takes one when it names it among its options.
inline constexpr std::string_view kFlagOptions[] = {"--allow-truncate", "--json", "--repeat",
                                                    "--all"};

// The options every command takes, before its name as well as after it.
inline constexpr std::string_view kGlobalOptions[] = {"--db-dir", "--link", "--programmer"};

// A command line split at the command's name: the name (empty when there is none), and
// every other word, the global options given before the name first.
struct CommandLine {
    std::string command;
    std::vector<std::string> rest;
};
CommandLine SplitCommandLine(std::span<const std::string> words);

// `valueOptions` names every option the command takes, each with a value but for those of
// kFlagOptions; anything else that starts with "--" is a usage error.
Invocation ParseInvocation(std::span<const std::string> words,
                           std::span<const std::string_view> valueOptions);

// A number in hexadecimal (an optional "0x"), for addresses, offsets and masks.
uint64_t ParseHex(std::string_view text, std::string_view what);
// A number in decimal or with "0x" in hexadecimal.
uint64_t ParseNumber(std::string_view text, std::string_view what);

}  // namespace kardo::cli
