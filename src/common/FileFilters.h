// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace kardo {

// One entry of a file dialog's filter "description|pattern|description|pattern...".
struct FileFilter {
    std::string name;     // the description without a pattern it may repeat: "Intel Hex"
    std::string pattern;  // "*.hex"
};

// The entries of a filter. A description that ends in its pattern in brackets, as
// "Intel Hex (*.HEX)" does, loses it, so that a dialog that shows the patterns itself
// shows them once.
std::vector<FileFilter> ParseFileFilter(const std::string& filter);

// The extension, without its dot and in lower case, that a name without one gets under
// entry `index` (counted from 0): the entry's own, or the first entry's when the entry
// takes any name ("*.*"). Empty when neither names one.
std::string DefaultExtension(const std::vector<FileFilter>& filters, std::size_t index);

}  // namespace kardo
