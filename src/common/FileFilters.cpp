// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/FileFilters.h"

#include <algorithm>
#include <cctype>

namespace kardo {
namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// "hex" for "*.hex"; empty for "*.*", "*" or a list of patterns.
std::string ExtensionOf(const std::string& pattern) {
    if (pattern.size() < 3 || pattern.compare(0, 2, "*.") != 0) {
        return {};
    }
    const std::string extension = pattern.substr(2);
    if (extension.find_first_of("*?[ ;") != std::string::npos) {
        return {};
    }
    return Lower(extension);
}

}  // namespace

std::vector<FileFilter> ParseFileFilter(const std::string& filter) {
    std::vector<std::string> parts;
    for (std::size_t start = 0;;) {
        const std::size_t bar = filter.find('|', start);
        parts.push_back(filter.substr(start, bar - start));
        if (bar == std::string::npos) {
            break;
        }
        start = bar + 1;
    }
    std::vector<FileFilter> filters;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        std::string name = parts[i];
        const std::size_t open = name.rfind(" (");
        if (open != std::string::npos && name.back() == ')' &&
            Lower(name.substr(open + 2, name.size() - open - 3)) == Lower(parts[i + 1])) {
            name.erase(open);
        }
        filters.push_back({name, parts[i + 1]});
    }
    return filters;
}

std::string DefaultExtension(const std::vector<FileFilter>& filters, std::size_t index) {
    if (index < filters.size()) {
        if (std::string own = ExtensionOf(filters[index].pattern); !own.empty()) {
            return own;
        }
    }
    return filters.empty() ? std::string() : ExtensionOf(filters.front().pattern);
}

}  // namespace kardo
