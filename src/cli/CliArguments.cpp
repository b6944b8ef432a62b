// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliArguments.h"

#include <algorithm>
#include <iterator>

#include "common/HexText.h"

namespace kardo::cli {

std::optional<std::string> Invocation::Option(std::string_view name) const {
    const auto it = options.find(name);
    if (it == options.end()) {
        return std::nullopt;
    }
    return it->second;
}

bool Invocation::Flag(std::string_view name) const {
    return std::find(flags.begin(), flags.end(), name) != flags.end();
}

Invocation ParseInvocation(std::span<const std::string> words,
                           std::span<const std::string_view> valueOptions) {
    Invocation invocation;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (optionsEnded || word.size() < 2 || word[0] != '-' || word == "-") {
            invocation.positional.push_back(word);
            continue;
        }
        if (word == "--") {
            optionsEnded = true;
            continue;
        }
        if (word == "--help" || word == "-h") {
            invocation.help = true;
            continue;
        }
        const std::size_t equals = word.find('=');
        const std::string name = word.substr(0, equals);
        if (std::find(valueOptions.begin(), valueOptions.end(), name) == valueOptions.end()) {
            throw UsageError("unknown option " + name);
        }
        if (std::find(std::begin(kFlagOptions), std::end(kFlagOptions), name) !=
            std::end(kFlagOptions)) {
            if (equals != std::string::npos) {
                throw UsageError(name + " takes no value");
            }
            invocation.flags.push_back(name);
            continue;
        }
        std::string value;
        if (equals != std::string::npos) {
            value = word.substr(equals + 1);
        } else if (i + 1 < words.size()) {
            value = words[++i];
        } else {
            throw UsageError(name + " needs a value");
        }
        if (!invocation.options.emplace(name, value).second) {
            throw UsageError(name + " is given twice");
        }
    }
    return invocation;
}

CommandLine SplitCommandLine(std::span<const std::string> words) {
    CommandLine line;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        const std::string name = word.substr(0, word.find('='));
        const bool global = std::find(std::begin(kGlobalOptions), std::end(kGlobalOptions), name) !=
                            std::end(kGlobalOptions);
        if (!global) {
            line.command = word;
            line.rest.insert(line.rest.end(), words.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                             words.end());
            return line;
        }
        line.rest.push_back(word);
        if (name == word && i + 1 < words.size()) {
            line.rest.push_back(words[++i]);  // its value
        }
    }
    return line;
}

uint64_t ParseHex(std::string_view text, std::string_view what) {
    const bool prefixed = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    if (const auto value = ParseUnsigned(prefixed ? text.substr(2) : text, 16)) {
        return *value;
    }
    throw UsageError(std::string(what) + " \"" + std::string(text) +
                     "\" is not a hexadecimal number");
}

uint64_t ParseNumber(std::string_view text, std::string_view what) {
    if (const auto value = ParseDecimalOrHex(text)) {
        return *value;
    }
    throw UsageError(std::string(what) + " \"" + std::string(text) + "\" is not a number");
}

}  // namespace kardo::cli
